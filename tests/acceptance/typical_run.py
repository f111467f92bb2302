#!/usr/bin/env python3
"""The typical run of the game, end to end, with the real program and the real
score server:
  intro -> main menu -> new game -> fire a while -> "Exit game?" Yes ->
  game over -> name entry -> Ok -> "Send the result to" Yes -> high-score
  table -> Esc -> main menu -> Esc -> "Exit game?" Yes -> the program ends.
Then the settings file must hold, byte for byte, the seeded options and the
seeded table with the new result in its place, and the server must have
stored the same name, score and country.

    typical_run.py <build folder>

The game sends results to the address fixed at build time
(ZEPHYRION_SCORE_SERVER, by default http://127.0.0.1:8077). So that the run
never meets another server on that port, nor answers anyone else's game, it
runs in a network namespace of its own (unshare -rn) whose loopback is
private: there the port is always free. Where namespaces are not allowed it
runs on the machine's loopback if the port is free there, else it is skipped
(exit status 77).

Screenshots of every screen passed are kept in <build>/acceptance-artifacts/,
with the game's and the server's output and the settings files.
"""
import os
import re
import shutil
import socket
import sqlite3
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "realrun"))
from realrun import (Display, Failure, Game, Skip, config_bytes, die_with_us, log, main, main_menu,  # noqa: E402
                     playing, wait_until)

SEED_OPTIONS = dict(windowed=True, music=True, sound=True, boss_key=123, country="Ganymede")
# Names of several lengths, and a tenth entry any hit beats.
SEED_TABLE = [("Commander", 9000), ("Vega", 4200), ("Orion", 3100), ("Lyra", 2500), ("Altair", 1800),
              ("Deneb", 900), ("Rigel", 600), ("Mira", 250), ("Castor", 40), ("Anonymous", 0)]


def insert(table, name, score):
    """The new result replaces place 10 and rises past strictly lower scores only."""
    table = [list(e) for e in table]
    table[9] = [name, score]
    for i in range(10):
        for j in range(9, i, -1):
            if table[j - 1][1] < table[j][1]:
                table[j - 1], table[j] = table[j], table[j - 1]
    return [tuple(e) for e in table]


def server_port(build):
    url = ""
    try:
        with open(os.path.join(build, "CMakeCache.txt")) as f:
            m = re.search(r"^ZEPHYRION_SCORE_SERVER:[A-Z]*=(.*)$", f.read(), re.M)
            url = m.group(1).strip() if m else ""
    except OSError:
        pass
    url = url or "http://127.0.0.1:8077"
    m = re.match(r"^http://127\.0\.0\.1(?::(\d+))?/?", url)
    if not m:
        raise Skip("the game sends its results to %s, not to this machine's loopback" % url)
    return int(m.group(1) or 80)


def port_free(port):
    s = socket.socket()
    try:
        s.bind(("127.0.0.1", port))
        return True
    except OSError:
        return False
    finally:
        s.close()


def private_loopback():
    """Runs this script again in a network namespace of its own, where the
    system allows it; returns once inside (or when not allowed)."""
    if os.environ.get("ZEPHYRION_ACCEPT_NETNS") == "1":
        if subprocess.call(["ip", "link", "set", "lo", "up"], stderr=subprocess.DEVNULL) != 0:
            raise Failure("cannot bring up the private loopback")
        log("running on a private loopback (network namespace)")
        return
    if shutil.which("unshare") and shutil.which("ip") and subprocess.call(
            ["unshare", "-rn", "ip", "link", "set", "lo", "up"], stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL) == 0:
        os.environ["ZEPHYRION_ACCEPT_NETNS"] = "1"
        sys.stdout.flush()
        os.execvp("unshare", ["unshare", "-rn", sys.executable] + sys.argv)
    log("running on this machine's loopback")


def query(db, sql):
    """The rows the server's table gives for `sql`, or none while it cannot be read."""
    try:
        con = sqlite3.connect("file:%s?mode=ro" % db, uri=True)
        try:
            return con.execute(sql).fetchall()
        finally:
            con.close()
    except sqlite3.Error:
        return []


def stored_results(db):
    def text(v):
        return v.decode("cp1252") if isinstance(v, bytes) else v
    return [(text(n), s, text(c)) for n, s, c in query(db, "SELECT name, score, country FROM results")]


def proved(db):
    """True once the server has played the game's record again and marked the result verified."""
    return query(db, "SELECT verified FROM results") == [(1,)]


def panel(x, over_game=True):
    def check(g, s):
        return g.shows(s, "SheetDialogPanel", x, 200, region=(0, 0, 60, 30)) and \
            over_game != g.shows(s, "SheetMenuBackground", 0, 0, region=(100, 500, 40, 40))
    return check


def high_scores(g, s):
    return g.shows(s, "SheetTitleBanner", 388, 0, region=(0, 0, 30, 80)) and \
        all(g.shows(s, "SheetScoreRow", 250, 120 + 36 * i, region=(0, 0, 16, 34)) for i in (3, 10))


def typical_run(build):
    for path, what in ((os.path.join(build, "zephyrion"), "game"),
                       (os.path.join(build, "Data", "Data.pp"), "asset pack")):
        if not os.path.exists(path):
            raise Failure("no %s in %s" % (what, build))
    server = os.path.join(build, "server", "zephyrion-scores")
    if not os.access(server, os.X_OK):
        raise Skip("the score server was not built in " + build)
    port = server_port(build)
    private_loopback()
    if not port_free(port):
        raise Skip("port %d on 127.0.0.1 is taken: the game's score server address cannot be served here"
                   % port)

    art = os.path.join(build, "acceptance-artifacts")
    shutil.rmtree(art, ignore_errors=True)
    os.makedirs(art)
    work = tempfile.mkdtemp(prefix="zephyrion-accept-")
    db = os.path.join(work, "scores.db")
    seeded = config_bytes(table=SEED_TABLE, **SEED_OPTIONS)
    with open(os.path.join(art, "Config-seeded.cfg"), "wb") as f:
        f.write(seeded)

    server_log = open(os.path.join(art, "server.log"), "wb")
    srv = subprocess.Popen([server, "--port", str(port), "--db", db], stdout=server_log,
                           stderr=subprocess.STDOUT, preexec_fn=die_with_us)

    def server_up():
        if srv.poll() is not None:
            raise Failure("the score server did not start (see %s)" % os.path.join(art, "server.log"))
        with open(os.path.join(art, "server.log"), "rb") as f:
            return b"serving on" in f.read()

    try:
        wait_until("the score server to answer", server_up, timeout=20)
        with Display(1024, 768) as display:
            display.xdotool("mousemove", 0, 0)  # the pointer stays off the game's window
            game = Game(display, build, art, config=seeded)
            try:
                drive(game, db)
                cfg = game.path("Config.cfg")
                with open(cfg, "rb") as f:
                    final = f.read()
            finally:
                game.stop()
        name, score, country = stored_results(db)[0]
        expected = config_bytes(table=insert(SEED_TABLE, "Nova", score), **SEED_OPTIONS)
        with open(os.path.join(art, "Config-expected.cfg"), "wb") as f:
            f.write(expected)
        if final != expected:
            raise Failure("Config.cfg does not hold the seeded options and the table with Nova's %d (see %s)"
                          % (score, art))
        log("typical run passed: Nova's %d in the table and on the server; screenshots in %s" % (score, art))
    finally:
        if srv.poll() is None:
            srv.terminate()
            srv.wait()
        server_log.close()
        shutil.rmtree(work, ignore_errors=True)


def drive(game, db):
    def see(name, screen, timeout=30):
        try:
            shot = game.wait_picture("the screen \"%s\"" % name, lambda s: not s.is_black() and screen(game, s),
                                     timeout)
        except Failure:
            game.save("FAILED-" + name, game.client_shot())
            raise
        game.save(name, shot)
        return shot

    game.start()
    game.save("intro", game.client_shot())
    # The title slides in; keys do nothing until it has arrived.
    see("main-menu", main_menu)
    game.wait_still("the main menu at rest")

    # A new game: fire and sweep the warship from side to side.
    game.key("Return")
    see("stage-title", playing)
    # The score, right-aligned at x = 720 of the top bar, reads 0 until the
    # first hit; the bar is opaque, so these pixels change only with the score.
    score0 = game.client_shot().crop(674, 4, 50, 14)
    game.keydown("ctrl")
    try:
        sweeps = 0
        started = time.monotonic()
        for direction in ["Left", "Right", "Right", "Left"] * 10:
            game.keydown(direction)
            # A sweep lasts until the warship has moved a good way: a few
            # frames of play, whatever the machine's load.
            shot = game.client_shot()
            for _ in range(12):
                shot = game.wait_changed("play to go on during a sweep", shot)
            game.keyup(direction)
            sweeps += 1
            scored = game.client_shot().crop(674, 4, 50, 14).differs(score0)
            if sweeps >= 4 and scored:
                break
            if time.monotonic() - started > 120:
                raise Failure("no hit scored in two minutes of firing")
        log("fired through %d sweeps" % sweeps)
        game.save("playing", game.client_shot())
    finally:
        game.keyup("ctrl")

    # The in-game "Exit game?", Yes. Esc is taken only in open play (not
    # while a lost ship's stage restarts): ask until the dialog is up.
    for attempt in range(10):
        game.key("Escape")
        try:
            see("quit-game-question", panel(190), timeout=3)
            break
        except Failure:
            if attempt == 9:
                raise
    game.key("y")
    # Over the game-over display to the name entry.
    see("name-entry", panel(215), timeout=40)
    entry = game.wait_still("the name entry at rest")
    # Typed in mixed case; the field stores "Nova".
    game.key("n", "shift+o", "shift+v", "a")
    game.wait_changed("the name typed", entry)
    game.save("name-typed", game.client_shot())
    game.key("Return")
    see("send-question", panel(200))

    # "Send the result to" Yes: "Please wait...", the two requests, the table.
    game.key("Return")
    rows = wait_until("the server to store the result", lambda: stored_results(db), timeout=30,
                      alive=game.alive)
    see("high-scores-after-sending", high_scores)
    if len(rows) != 1:
        raise Failure("%d results stored: %r" % (len(rows), rows))
    name, score, country = rows[0]
    log("server stored: name %r, score %d, country %r" % (name, score, country))
    if name != "Nova":
        raise Failure("the server stored the name %r, not 'Nova'" % name)
    if country != "Ganymede":
        raise Failure("the server stored the country %r, not 'Ganymede'" % country)
    if score <= 0:
        raise Failure("the stored score %d does not beat the tenth entry (0)" % score)
    # After the result the game sent its record; the server plays it again and marks the result proved.
    wait_until("the server to prove Nova's result by its game record", lambda: proved(db), timeout=30)
    # The table was saved as soon as the name was confirmed.
    expected = config_bytes(table=insert(SEED_TABLE, "Nova", score), **SEED_OPTIONS)
    with open(game.path("Config.cfg"), "rb") as f:
        saved = f.read()
    shutil.copy(game.path("Config.cfg"), os.path.join(game.artifacts, "Config-after-name-entry.cfg"))
    if saved != expected:
        raise Failure("Config.cfg after the name entry does not hold the table with Nova's %d" % score)

    # Back to the main menu, and out through "Exit game?".
    game.key("Escape")
    see("main-menu-again", main_menu)
    game.key("Escape")
    see("exit-question", panel(190, over_game=False))
    game.key("Return")
    status = game.wait_end("the game to end after the exit dialog")
    if status != 0:
        raise Failure("the game ended with status %s" % status)
    log("the game has ended")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.stderr.write("usage: typical_run.py <build folder>\n")
        sys.exit(2)
    sys.exit(main(lambda: typical_run(os.path.abspath(sys.argv[1]))))
