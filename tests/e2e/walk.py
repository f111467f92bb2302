#!/usr/bin/env python3
"""Plays the real program on a private X display: walks every screen with the
keys and once with the mouse, switches to full screen and back, and leaves
through the exit dialog. Every screenshot must not be black, must differ from
the one before it, and must show the screen expected there (pieces of the
asset pack where the screens place them). Screenshots go to
<build>/e2e-artifacts/.

    walk.py <build folder>
"""
import os
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "realrun"))
from realrun import Display, Failure, Game, config_bytes, log, main, main_menu, playing, similar, wait_until  # noqa: E402

DARK_GREEN, RED = (0x22, 0x88, 0x22), (0xFF, 0x00, 0x00)


def has_colour(shot, colour, x, y, w, h, tolerance=40):
    """True when some pixel of the region is close to the colour (the
    anti-aliased text of a screen)."""
    for yy in range(y, y + h):
        for xx in range(x, x + w):
            if all(abs(a - b) <= tolerance for a, b in zip(shot.pixel(xx, yy), colour)):
                return True
    return False


# What each screen shows, from the screens' own layout: (sheet, x, y, region)
# of menu pictures that no text or lit item covers, and colours of texts.
def submenu(g, s):
    return g.shows(s, "SheetMenuBackground", 0, 0, region=(740, 200, 40, 40)) and \
        g.shows(s, "SheetTitleBanner", 388, 0, region=(0, 0, 30, 80))


def options(g, s):
    return submenu(g, s) and g.shows(s, "SheetOptionOnOff", 327, 352, region=(0, 0, 14, 24))


def boss_key_capture(g, s):
    return options(g, s) and g.shows(s, "SheetOptionBossKeyLit", 305, 473, region=(0, 0, 24, 36))


def options_with_key(g, s):
    # The boss-key row stays chosen (lit); its value is a key's name, not "...".
    return boss_key_capture(g, s) and has_colour(s, (0, 0xFF, 0), 364, 489, 16, 11, tolerance=30)


def capturing(g, s):
    return boss_key_capture(g, s) and not has_colour(s, (0, 0xFF, 0), 364, 489, 16, 11, tolerance=30)


def high_scores(g, s):
    return submenu(g, s) and all(g.shows(s, "SheetScoreRow", 250, 120 + 36 * i, region=(0, 0, 16, 34))
                                 for i in (3, 10))


def help_page(g, s):
    # Of "Previous", "Next" and "Back" two are not lit.
    return submenu(g, s) and sum(g.shows(s, sheet, x, 530, region=(0, 0, 24, 38), share=0.8) for sheet, x in (
        ("SheetHelpPrev", 440), ("SheetHelpNext", 550), ("SheetBackLabel", 660))) >= 2


def help_about(g, s):
    return help_page(g, s) and g.shows(s, "SheetAboutPicture", 40, 220)


def exit_dialog(g, s):
    return g.shows(s, "SheetDialogPanel", 190, 200, region=(0, 0, 60, 30)) and \
        g.shows(s, "SheetMenuBackground", 0, 0, region=(100, 500, 40, 40))


def paused(g, s):
    return has_colour(s, DARK_GREEN, 350, 300, 100, 34, tolerance=16)


def dialog_over_game(x):
    return lambda g, s: g.shows(s, "SheetDialogPanel", x, 200, region=(0, 0, 60, 30)) and \
        not g.shows(s, "SheetMenuBackground", 0, 0, region=(100, 500, 40, 40))


def connection_failed(g, s):
    return dialog_over_game(190)(g, s) and g.shows(s, "SheetHelpNext", 0, 0, region=(0, 0, 40, 20)) and \
        has_colour(s, RED, 290, 282, 120, 26, tolerance=16)


class Walk:
    def __init__(self, game):
        self.game = game
        self.before = None

    def see(self, name, screen, same_ok=False, timeout=30):
        """Waits for the screen; checks it is not black and differs from the
        one before; keeps it."""
        g = self.game

        def ok(shot):
            return not shot.is_black() and (same_ok or shot.differs(self.before)) and screen(g, shot)

        try:
            shot = g.wait_picture("the screen \"%s\"" % name, ok, timeout)
        except Failure:
            g.save("FAILED-" + name, g.client_shot())
            raise
        g.save(name, shot)
        self.before = shot
        log("screen %s" % name)
        return shot

    def key(self, *keys):
        self.game.key(*keys, delay=150)

    def click(self, x, y):
        self.game.click(x, y)


def walk(build):
    art = os.path.join(build, "e2e-artifacts")
    shutil.rmtree(art, ignore_errors=True)
    with Display(1024, 768) as display:
        game = Game(display, build, art, config=config_bytes(windowed=True, music=True, sound=True, boss_key=123))
        game.start()
        w = Walk(game)
        try:
            w.see("intro", lambda g, s: True, same_ok=True)
            w.see("main-menu", main_menu)
            # The title slides in; keys do nothing until it has arrived.
            w.before = game.wait_still("the main menu at rest")

            # Options, the boss-key capture, back.
            w.key("Down", "Return")
            w.see("options", options)
            w.key("Up", "Return")
            w.see("boss-key-capture", capturing)
            w.key("F11")
            w.see("options-new-boss-key", options_with_key)
            w.key("Return")
            w.see("boss-key-capture-again", capturing)
            w.key("F12")
            w.see("options-boss-key-back", options_with_key)
            w.key("Escape")
            w.see("main-menu-from-options", main_menu)

            # High scores and the clear-table dialog.
            w.key("Down", "Return")
            w.see("high-scores", high_scores)
            w.key("Return")
            w.see("clear-table", lambda g, s: g.shows(s, "SheetDialogPanel", 210, 200, region=(0, 0, 60, 30)) and
                  g.shows(s, "SheetScoreRow", 250, 480, region=(0, 0, 16, 34)))
            w.key("Escape")
            w.see("high-scores-kept", high_scores)
            w.key("Escape")
            w.see("main-menu-from-high-scores", main_menu)

            # The four help pages.
            w.key("Down", "Return")
            w.see("help-overview", help_page)
            w.key("Right", "Return")
            w.see("help-bonuses", help_page)
            w.key("Return")
            w.see("help-controls", help_page)
            w.key("Return")
            w.see("help-about", help_about)
            w.key("Escape")
            w.see("main-menu-from-help", main_menu)

            # The exit dialog, answered No.
            w.key("Escape")
            w.see("exit-dialog", exit_dialog)
            w.key("n")
            w.see("main-menu-after-no", main_menu)

            # A game: pause, the in-game exit dialog, game over, name entry, sending.
            w.key("Up", "Up", "Up", "Return")
            w.see("playing", playing)
            w.key("p")
            w.see("paused", paused)
            w.key("p")
            w.see("playing-again", playing)
            # Esc is taken in open play only (not while a stage title or a
            # lost ship's restart is shown): ask until the dialog is up.
            for attempt in range(10):
                w.key("Escape")
                try:
                    w.see("quit-game", dialog_over_game(190), timeout=3)
                    break
                except Failure:
                    if attempt == 9:
                        raise
            w.key("y")
            w.see("name-entry", dialog_over_game(215), timeout=40)
            w.key("a", "c", "e")
            w.see("name-typed", dialog_over_game(215))
            w.key("Return")
            w.see("send-result", dialog_over_game(200))
            w.key("Return")
            w.see("connection-failed", connection_failed, timeout=60)
            w.key("Right", "Return")
            w.see("high-scores-after-game", high_scores)
            w.key("Escape")
            w.see("main-menu-after-game", main_menu)

            # The mouse: options, the music switch, back; help and its pages.
            w.click(600, 390)
            w.see("mouse-options", options)
            w.click(350, 300)
            w.see("mouse-music-off", options)
            w.click(670, 560)
            w.see("mouse-back-to-menu", main_menu)
            w.click(600, 470)
            w.see("mouse-help", help_page)
            w.click(600, 550)
            w.see("mouse-help-bonuses", help_page)
            w.click(700, 550)
            w.see("mouse-back-from-help", main_menu)
            menu = w.before

            # Full screen and back.
            game.move_to(5, 5)
            w.key("alt+Return")
            wait_until("full screen", lambda: game.geometry()[2:] == (display.width, display.height),
                       alive=game.alive)
            full = game.wait_still("the full-screen picture at rest")
            game.save("full-screen", full)
            # The left half: which menu item is lit may follow the pointer,
            # which now stands over another place of the picture.
            if not similar(full.crop(0, 0, full.width // 2, full.height), menu.crop(0, 0, 400, 600)):
                raise Failure("full screen does not show the main menu")
            w.key("alt+Return")
            wait_until("a window again", lambda: game.geometry()[2:] == (800, 600), alive=game.alive)
            w.before = full
            w.see("window-again", main_menu)

            # Leave through the exit dialog ("Yes").
            w.key("Escape")
            w.see("exit-dialog-at-the-end", exit_dialog)
            w.key("Left", "Return")
            status = game.wait_end("the game to end after the exit dialog")
            if status != 0:
                raise Failure("the game ended with status %s" % status)
            with open(game.path("Config.cfg"), "rb") as f:
                data = f.read()
            if not (data[0] == 1 and data[1] == 0 and data[3] == 123):
                raise Failure("the settings were not saved as played: %r" % data[:4])
            if bytes(b ^ 0xFF for b in data[6:9]) != b"Ace":
                raise Failure("the name entered is not in the saved table: %r" % data[:16])
            log("walked every screen; screenshots in %s" % art)
        finally:
            game.stop()


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.stderr.write("usage: walk.py <build folder>\n")
        sys.exit(2)
    sys.exit(main(lambda: walk(os.path.abspath(sys.argv[1]))))
