#!/usr/bin/env python3
"""Real games on a virtual X display with openbox, at real speed, each played
again from its record: the replayer must end with the score, stage and state
hash the game itself saw, and the real score server (the game's own sending
code, an SQLite table) must prove the result by playing it again too.

Games: late frames with a busy core beside the game (stress-ng), a pause;
an Alt+Enter switch to full screen and back in the middle; a minimise and a
restore in the middle. Every step waits for what it needs (the game's panel,
a dialog, a still or changed screen, a window state) and names the step when
it gives up. Screenshots, logs and records land in
<build>/record-artifacts/<game>/.
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

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "server"))
sys.path.insert(0, os.path.join(HERE, "..", "realrun"))
import scoreclient as sc  # noqa: E402
from realrun import (Display, Failure, Game, Skip, config_bytes, log, main, require,  # noqa: E402
                     playing, wait_until)


def table_scores(path):
    data = open(path, "rb").read()
    at = 4 + 1 + data[4]
    scores = []
    for _ in range(10):
        at += 1 + data[at]
        scores.append(struct.unpack("<i", data[at:at + 4])[0])
        at += 4
    return scores


# What the screens show, from the game's own art and its places.
def panel(x):
    """A dialog panel over the game: 190 "Exit game?", 215 the name entry,
    200 the question to send the result."""
    def check(g, s):
        return g.shows(s, "SheetDialogPanel", x, 200, region=(0, 0, 60, 30)) and \
            not g.shows(s, "SheetMenuBackground", 0, 0, region=(100, 500, 40, 40))
    return check


def hold(game, keys, frames, step):
    """Holds the keys down over `frames` changed pictures (at least as many
    frames of play, a few seconds): the warship moves and fires a good way
    whatever the machine's load."""
    for k in keys:
        game.keydown(k)
    try:
        shot = game.client_shot()
        for _ in range(frames):
            shot = game.wait_changed("%s: play to go on with %s held" % (step, "+".join(keys)), shot)
    finally:
        for k in reversed(keys):
            game.keyup(k)


def windowed(game):
    return game.geometry()[2:] == (800, 600)


def hidden(game):
    return "_NET_WM_STATE_HIDDEN" in game.state() or \
        b"IsViewable" not in game.display.output(["xwininfo", "-id", str(game.window)])


def pause(game, name):
    game.key("p")
    paused = game.wait_still("%s: the game paused" % name)
    game.save("paused", paused)
    game.key("p")
    game.wait_changed("%s: play going on after the second p" % name, paused)
    hold(game, ["Control_L", "Up"], 30, name)


def display_switch(game, name):
    display = game.display
    game.key("alt+Return")
    wait_until("%s: Alt+Enter to go full screen" % name,
               lambda: game.geometry() == (0, 0, display.width, display.height), timeout=60, alive=game.alive)
    game.wait_picture("%s: a picture in full screen" % name, lambda s: not s.is_black(), timeout=60)
    game.save("display-switch-full-screen", display.grab())
    hold(game, ["Control_L", "Down"], 60, name + " in full screen")
    game.key("alt+Return")
    wait_until("%s: Alt+Enter back to the window" % name, lambda: windowed(game), timeout=60, alive=game.alive)
    game.wait_picture("%s: play in the window again" % name, lambda s: playing(game, s), timeout=60)


def minimise_restore(game, name):
    display = game.display
    display.xdotool("windowminimize", game.window)
    wait_until("%s: the window minimised" % name, lambda: hidden(game), timeout=60, alive=game.alive)
    game.save("minimised", display.grab())
    display.xdotool("windowmap", game.window)
    display.xdotool("windowactivate", "--sync", game.window)
    wait_until("%s: the window restored and focused" % name,
               lambda: not hidden(game) and game.focused(), timeout=60, alive=game.alive)
    # The game waits paused after a restore until a key.
    waiting = game.wait_still("%s: the game waiting after the restore" % name, timeout=60)
    game.save("restored", waiting)
    game.key("p")
    game.wait_changed("%s: play going on after a key" % name, waiting, timeout=60)


def run(build):
    replay = os.path.join(build, "zephyrion-replay")
    server_program = os.path.join(build, "server", "zephyrion-scores")
    for program in (os.path.join(build, "zephyrion"), replay, server_program):
        if not os.path.exists(program):
            raise Skip("%s is not built" % program)
    require("openbox")
    art = os.path.join(build, "record-artifacts")
    shutil.rmtree(art, ignore_errors=True)
    os.makedirs(art)
    work = tempfile.mkdtemp(prefix="zephyrion-real-games-")
    server = stress = None
    try:
        with Display(1024, 768, wm=True, wm_log=os.path.join(art, "openbox.log")) as display:
            server, port = sc.start_server(server_program, os.path.join(work, "scores.db"),
                                           log=os.path.join(art, "server.log"))

            def verified_scores():
                listed = json.loads(sc.get(port, "/scores.json")[2] or b"{}")
                return [(r["score"], r["verified"]) for r in listed.get("results", [])]

            def play(name, middle, notes):
                # A table that any finished game enters (scores of -1).
                game = Game(display, build, os.path.join(art, name), config=config_bytes(),
                            env={"ZEPHYRION_SCORE_SERVER": "http://127.0.0.1:%d" % port})
                try:
                    play_one(game, name, middle, notes)
                finally:
                    game.stop()

            def play_one(game, name, middle, notes):
                log("%s: starting the game" % name)
                game.start()
                display.xdotool("windowactivate", "--sync", game.window)
                wait_until("%s: the game's window focused" % name, game.focused, timeout=30, alive=game.alive)
                # The intro runs out into the main menu, whose first item is a
                # new game; Return is pressed until the game's panel shows (in
                # play it does nothing).
                def started():
                    game.key("Return")
                    shot = game.client_shot()
                    return playing(game, shot) and shot
                game.save("playing", wait_until("%s: a game to start" % name, started, timeout=120,
                                                interval=1.0, alive=game.alive))
                hold(game, ["Control_L", "Left"], 90, name)
                middle(game, name)
                hold(game, ["Control_L", "Right"], 90, name)
                hold(game, ["Control_L", "Left"], 60, name)
                # "Exit game?" answered Yes. Esc is taken only in open play
                # (not while a lost ship's stage restarts): ask until it is up.
                def asked():
                    game.key("Escape")
                    try:
                        return game.wait_picture("%s: the question \"Exit game?\"" % name,
                                                 lambda s: panel(190)(game, s), timeout=3)
                    except Failure:
                        return None
                game.save("exit-question", wait_until("%s: Esc to ask \"Exit game?\"" % name, asked,
                                                      timeout=90, alive=game.alive))
                game.key("y")
                # The game-over display runs out into the name entry, and the
                # record is kept beside the settings.
                kept = game.path("LastGame.rec")
                wait_until("%s: the game's record" % name, lambda: os.path.exists(kept), timeout=60,
                           alive=game.alive)
                entry = game.wait_picture("%s: the name entry" % name, lambda s: panel(215)(game, s), timeout=60)
                entry = game.wait_still("%s: the name entry at rest" % name)
                game.save("name-entry", entry)
                display.xdotool("type", "--delay", "150", "ace")
                game.wait_changed("%s: the name typed" % name, entry)
                game.key("Return")
                game.save("send-question", game.wait_picture(
                    "%s: the question to send the result" % name, lambda s: panel(200)(game, s), timeout=60))
                game.key("Return")   # send the result
                shutil.copy(kept, os.path.join(game.artifacts, name + ".rec"))
                again = subprocess.run([replay, kept], capture_output=True, text=True)
                print("%s:\n%s" % (name, again.stdout), end="")
                if again.returncode != 0:
                    raise Failure("%s: the game played again does not end as it did:\n%s%s"
                                  % (name, again.stdout, again.stderr))
                replayed = int(again.stdout.split("replayed score ")[1].split()[0])
                # The record saw what the player did (notes by kind: 1 pause,
                # 3 minimise, 4 restore, 5 display switch) and frames off the beat.
                listed = subprocess.run([replay, "--events", kept], capture_output=True, text=True).stdout
                counts = {line.split()[1]: int(line.split()[2]) for line in listed.splitlines()
                          if line.startswith("events ")}
                for note in notes:
                    if counts.get(note, 0) == 0:
                        raise Failure("%s: the record has no %s: %s" % (name, note, counts))
                if counts.get("clock", 0) == 0:
                    raise Failure("%s: the record has no late frame at all: %s" % (name, counts))
                # The server played it again too and marks it.
                wait_until("%s: the result proved on the server" % name,
                           lambda: (replayed, True) in verified_scores(), timeout=60, alive=game.alive)
                game.save("after-sending", game.client_shot())
                # The game's own table says the same score (written after the name).
                wait_until("%s: the score in the local table" % name,
                           lambda: replayed in table_scores(game.path("Config.cfg")), timeout=60)
                game.proc.terminate()
                game.wait_end("%s: the game to end when told to" % name, timeout=30)

            if shutil.which("stress-ng"):
                stress = subprocess.Popen(["stress-ng", "--cpu", "1", "--quiet"], stdout=subprocess.DEVNULL,
                                          stderr=subprocess.DEVNULL)
            play("late-frames-and-a-pause", pause, ["note-1"])
            if stress:
                stress.terminate()
                stress.wait(10)
            play("display-switch", display_switch, ["note-5", "seed"])
            play("minimise-restore", minimise_restore, ["note-3", "note-4"])
            log("every real game played again to its own end, and each was proved by the server: %s"
                % verified_scores())
    finally:
        for p in (stress, server):
            if p is not None and p.poll() is None:
                sc.stop(p)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        print("usage: real_games_replayed.py BUILD_DIR", file=sys.stderr)
        sys.exit(2)
    sys.exit(main(lambda: run(os.path.abspath(sys.argv[1]))))
