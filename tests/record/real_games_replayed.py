#!/usr/bin/env python3
"""Real games on a virtual X display with openbox, at real speed, each played
again from its record: the replayer must end with the score, stage and state
hash the game itself saw, and the real score server (the game's own sending
code, an SQLite table) must prove the result by playing it again too.

Games: late frames with a busy core beside the game (stress-ng), a pause;
an Alt+Enter switch to full screen and back in the middle; a minimise and a
restore in the middle. Screenshots and logs land in <build>/record-artifacts/.
  real_games_replayed.py BUILD_DIR
Exits 77 (skipped, with the reason) without Xvfb, openbox or xdotool."""
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

BUILD = os.path.abspath(sys.argv[1])
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "server"))
import scoreclient as sc  # noqa: E402

ART = os.path.join(BUILD, "record-artifacts")
GAME = os.path.join(BUILD, "zephyrion")
REPLAY = os.path.join(BUILD, "zephyrion-replay")
SERVER = os.path.join(BUILD, "server", "zephyrion-scores")


def skip(why):
    print(f"SKIPPED: {why}")
    sys.exit(77)


def fail(why):
    print(f"FAILED: {why}")
    sys.exit(1)


for tool in ("Xvfb", "openbox", "xdotool", "xdpyinfo", "import"):
    if not shutil.which(tool):
        skip(f"{tool} is not installed")
for program in (GAME, REPLAY, SERVER):
    if not os.path.exists(program):
        skip(f"{program} is not built")


def wait_for(what, check, timeout=60.0, step=0.1):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = check()
        if value:
            return value
        time.sleep(step)
    fail(f"waited {timeout:.0f} s for {what}")


def xdo(*args):
    subprocess.run(["xdotool", *args], check=False, capture_output=True)


def shot(name):
    subprocess.run(["import", "-window", "root", os.path.join(ART, name + ".png")], capture_output=True)


def in_play(window):
    """The game's top panel (green) shows in the window's first rows."""
    grab = subprocess.run(["import", "-window", window, "png:-"], capture_output=True).stdout
    if not grab:
        return False
    mean = subprocess.run(["convert", "png:-", "-crop", "640x20+84+5", "-format", "%[fx:mean.g]", "info:"],
                          input=grab, capture_output=True).stdout
    try:
        return float(mean or 0) > 0.04
    except ValueError:
        return False


def table_scores(path):
    data = open(path, "rb").read()
    at = 4 + 1 + data[4]
    scores = []
    for _ in range(10):
        at += 1 + data[at]
        scores.append(struct.unpack("<i", data[at:at + 4])[0])
        at += 4
    return scores


def settings(path):
    """A table that any finished game enters (scores of -1)."""
    def text(s):
        return bytes([len(s)]) + bytes((~ord(c)) & 0xFF for c in s)
    data = bytes([1, 1, 1, 123]) + text("")
    for _ in range(10):
        data += text("Pilot") + struct.pack("<i", -1)
    with open(path, "wb") as f:
        f.write(data)


shutil.rmtree(ART, ignore_errors=True)
os.makedirs(ART)
work = tempfile.mkdtemp(prefix="zephyrion-real-games-")
procs = []
try:
    # The display and its window manager, on a display number nobody uses
    # (other programs' displays may have no lock file to tell).
    number = next(n for n in range(100 + os.getpid() % 300, 1000)
                  if not os.path.exists(f"/tmp/.X11-unix/X{n}") and not os.path.exists(f"/tmp/.X{n}-lock"))
    xvfb = subprocess.Popen(["Xvfb", f":{number}", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    procs.append(xvfb)
    os.environ["DISPLAY"] = f":{number}"
    wait_for("the X display", lambda: xvfb.poll() is None and os.path.exists(f"/tmp/.X11-unix/X{number}") and
             subprocess.run(["xdpyinfo"], capture_output=True).returncode == 0)
    procs.append(subprocess.Popen(["openbox"], stdout=subprocess.DEVNULL, stderr=open(os.path.join(ART, "openbox.log"), "w")))
    wait_for("openbox", lambda: "_NET_SUPPORTING_WM_CHECK" in subprocess.run(
        ["xprop", "-root"], capture_output=True, text=True).stdout if shutil.which("xprop") else True)

    server, port = sc.start_server(SERVER, os.path.join(work, "scores.db"), log=os.path.join(ART, "server.log"))
    procs.append(server)

    def verified_scores():
        listed = json.loads(sc.get(port, "/scores.json")[2] or b"{}")
        return [(r["score"], r["verified"]) for r in listed.get("results", [])]

    def hold(keys, seconds):
        for k in keys:
            xdo("keydown", k)
        time.sleep(seconds)
        for k in keys:
            xdo("keyup", k)

    def play(name, middle, notes):
        folder = os.path.join(work, name)
        os.makedirs(folder)
        os.symlink(os.path.join(BUILD, "Data"), os.path.join(folder, "Data"))
        os.symlink(os.path.join(BUILD, "sound"), os.path.join(folder, "sound"))
        settings(os.path.join(folder, "Config.cfg"))
        env = dict(os.environ, SDL_AUDIODRIVER="dummy", ZEPHYRION_SCORE_SERVER=f"http://127.0.0.1:{port}")
        log = open(os.path.join(ART, name + ".log"), "w")
        game = subprocess.Popen([GAME], cwd=folder, env=env, stdout=log, stderr=subprocess.STDOUT)
        procs.append(game)
        window = wait_for("the game's window", lambda: subprocess.run(
            ["xdotool", "search", "--name", "Zephyrion"], capture_output=True, text=True).stdout.split())[0]
        xdo("windowactivate", "--sync", window)
        # The intro runs out into the main menu, whose first item is a new
        # game; Return is pressed until the game's panel shows (in play it
        # does nothing).
        def started():
            xdo("key", "Return")
            return in_play(window)
        wait_for(f"{name}: a game to start", started, timeout=120, step=1.0)
        shot(name + "-1-playing")
        hold(["Control_L", "Left"], 3)
        middle(window)
        hold(["Control_L", "Right"], 3)
        hold(["Control_L", "Left"], 2)
        # "Exit game?" answered Yes; the game-over display runs out, and the
        # record is kept beside the settings.
        xdo("key", "Escape")
        time.sleep(0.5)
        xdo("key", "y")
        kept = os.path.join(folder, "LastGame.rec")
        wait_for("the game's record", lambda: os.path.exists(kept))
        if game.poll() is not None:
            fail(f"{name}: the game ended early")
        time.sleep(1.5)
        shot(name + "-2-name-entry")
        xdo("type", "--delay", "150", "ace")
        xdo("key", "Return")
        time.sleep(0.8)
        xdo("key", "Return")   # send the result
        again = subprocess.run([REPLAY, kept], capture_output=True, text=True)
        print(f"{name}:\n{again.stdout}", end="")
        if again.returncode != 0:
            shutil.copy(kept, os.path.join(ART, name + ".rec"))
            fail(f"{name}: the game played again does not end as it did:\n{again.stdout}{again.stderr}")
        replayed = int(again.stdout.split("replayed score ")[1].split()[0])
        # The record saw what the player did (notes by kind: 1 pause,
        # 3 minimise, 4 restore, 5 display switch) and frames off the beat.
        listed = subprocess.run([REPLAY, "--events", kept], capture_output=True, text=True).stdout
        counts = {line.split()[1]: int(line.split()[2]) for line in listed.splitlines() if line.startswith("events ")}
        for note in notes:
            if counts.get(note, 0) == 0:
                fail(f"{name}: the record has no {note}: {counts}")
        if counts.get("clock", 0) == 0:
            fail(f"{name}: the record has no late frame at all: {counts}")
        # The server played it again too and marks it.
        wait_for(f"{name}: the result proved on the server", lambda: (replayed, True) in verified_scores())
        shot(name + "-3-after-sending")
        # The game's own table says the same score (written after the name).
        wait_for(f"{name}: the score in the local table", lambda: replayed in table_scores(
            os.path.join(folder, "Config.cfg")))
        game.terminate()
        game.wait(30)
        shutil.copy(kept, os.path.join(ART, name + ".rec"))

    def pause(_):
        xdo("key", "p")
        time.sleep(1.2)
        xdo("key", "p")
        hold(["Control_L", "Up"], 1)

    def display_switch(_):
        xdo("key", "alt+Return")
        time.sleep(2)
        shot("display-switch-full-screen")
        hold(["Control_L", "Down"], 2)
        xdo("key", "alt+Return")
        time.sleep(2)

    def minimise_restore(window):
        xdo("windowminimize", window)
        time.sleep(2)
        shot("minimised")
        xdo("windowmap", window)
        xdo("windowactivate", "--sync", window)
        time.sleep(2)
        # The game waits paused after a restore until a key.
        xdo("key", "p")
        time.sleep(0.5)

    stress = subprocess.Popen(["stress-ng", "--cpu", "1", "--quiet"], stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL) if shutil.which("stress-ng") else None
    if stress:
        procs.append(stress)
    play("late-frames-and-a-pause", pause, ["note-1"])
    if stress:
        stress.terminate()
        stress.wait(10)
    play("display-switch", display_switch, ["note-5", "seed"])
    play("minimise-restore", minimise_restore, ["note-3", "note-4"])
    print("every real game played again to its own end, and each was proved by the server:",
          verified_scores())
finally:
    for p in reversed(procs):
        sc.stop(p) if p.poll() is None else None
    shutil.rmtree(work, ignore_errors=True)
