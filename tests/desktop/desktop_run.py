#!/usr/bin/env python3
"""The real program on a desktop with a window manager (openbox on a private
Xvfb), driven with xdotool and wmctrl as a player would: focus moving to
another program and back, full screen and back, minimising, maximising,
held keys, a large desktop.

    desktop_run.py <build folder> <scenario> [<artifacts folder>]

Scenarios: frozen-frame, click-to-focus, pointer-free, maximise,
held-alt-enter, effects-silent, large-desktop. Exit status 0 passed, 1 failed,
77 skipped (a tool, or the feature the scenario checks, is missing).
"""
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "realrun"))
from realrun import (Display, Failure, Game, Recording, Skip, config_bytes, log, main, require,  # noqa: E402
                     similar, wait_until)
import realrun  # noqa: E402

# Places of the 800 x 600 picture (the screens' own layout).
NEW_GAME, OPTIONS, HIGH_SCORES, HELP = (600, 350), (600, 390), (600, 430), (600, 470)
YES, NO = (300, 360), (480, 360)
SILENCE_RMS_MAX, SILENCE_PEAK_MAX = 8.0, 64
EFFECTS_RMS_MIN = 150.0
CARET_PIXELS = 100


def main_menu(shot, game):
    # The bottom edge of the menu panel lies below every item (lit or not).
    return game.shows(shot, "SheetMainMenuItems", 461, 327, region=(0, 247, 330, 8)) and \
        game.shows(shot, "SheetMenuBackground", 0, 0, region=(100, 300, 40, 40))


def lit(item):
    """The main menu with `item` (0 "New game" .. 5 "Exit") lit."""
    top = [337, 376, 415, 452, 492, 533][item]
    return lambda shot, game: game.shows(shot, game.sheets["SheetMainMenuItemLit"] + item, 470, top,
                                         region=(0, 0, 60, 30))


def help_overview(shot, game):
    # The help pages' banner, and of "Previous" and "Next" at least the one
    # that is not lit.
    return game.shows(shot, "SheetTitleBanner", 388, 0, region=(250, 20, 60, 30)) and (
        game.shows(shot, "SheetHelpPrev", 440, 530, region=(10, 5, 60, 25)) or
        game.shows(shot, "SheetHelpNext", 550, 530, region=(10, 5, 60, 25)))


def playing(shot, game):
    return realrun.playing(game, shot)


def exit_question(shot, game):
    return game.shows(shot, "SheetDialogPanel", 190, 200, region=(0, 0, 40, 40)) and \
        game.shows(shot, "SheetMenuBackground", 0, 0, region=(100, 500, 40, 40))


def wait_for(game, step, screen, timeout=30):
    return game.wait_picture(step, lambda shot: screen(shot, game), timeout)


def start(display, args, name, **config):
    game = Game(display, args.build, os.path.join(args.artifacts, name), config=config_bytes(**config))
    return game.start()


def to_main_menu(game):
    game.click(400, 300)  # a click ends the intro
    return wait_for(game, "the main menu after the intro", main_menu)


def new_game(game):
    """A new game, chosen with the keys while the pointer rests on "New game"."""
    game.move_to(*NEW_GAME)
    wait_for(game, "\"New game\" lit under the pointer", lit(0))
    game.key("Return")
    return wait_for(game, "the game to start", playing)


def away_and_back(display, game, other):
    display.xdotool("windowactivate", other)
    wait_until("the other program to take the focus", lambda: not game.focused(), alive=game.alive)
    display.xdotool("windowactivate", game.window)
    wait_until("the game to take the focus back", game.focused, alive=game.alive)


def is_full_screen(game):
    x, y, w, h = game.geometry()
    return (w, h) == (game.display.width, game.display.height) and (x, y) == (0, 0)


def is_window(game):
    x, y, w, h = game.geometry()
    return (w, h) == (800, 600)


def hidden(game):
    return "_NET_WM_STATE_HIDDEN" in game.state()


# --- the scenarios -------------------------------------------------------------------
def frozen_frame(args):
    """The frozen frame stays behind the pause and the name entry through
    Alt+Tab, Alt+Enter and minimising out of full screen; the first Alt+Tab
    out of full screen minimises even after focus was lost in a window."""
    with Display(1024, 768, wm=True) as display:
        other = display.other_window()
        game = start(display, args, "frozen-frame", music=False)
        try:
            to_main_menu(game)
            new_game(game)
            game.key("p")
            paused = game.wait_still("the pause screen")
            game.save("paused", paused)
            if paused.is_black():
                raise Failure("the pause screen is black")

            log("Alt+Tab away and back in a window")
            away_and_back(display, game, other)
            shot = game.wait_still("the pause screen after Alt+Tab")
            if shot.differs(paused):
                game.save("paused-after-alt-tab", shot)
                raise Failure("the pause screen changed after Alt+Tab away and back")

            log("Alt+Enter: full screen while paused")
            game.key("alt+Return")
            wait_until("full screen after Alt+Enter", lambda: is_full_screen(game), alive=game.alive)
            full = game.wait_still("the paused picture in full screen")
            game.save("paused-full-screen", full)
            if not similar(full, paused):
                raise Failure("full screen does not show the frozen frame behind \"Pause\"")

            log("Alt+Tab out of full screen: the game minimises")
            display.xdotool("windowactivate", other)
            wait_until("the game to minimise when left in full screen (first Alt+Tab)", lambda: hidden(game),
                       timeout=20, alive=game.alive)
            display.xdotool("windowactivate", game.window)
            wait_until("the game back from minimised", lambda: not hidden(game) and game.focused(),
                       alive=game.alive)
            wait_until("full screen again after the restore", lambda: is_full_screen(game), alive=game.alive)
            full = game.wait_still("the paused picture after the restore")
            game.save("paused-restored", full)
            if not similar(full, paused):
                raise Failure("after the restore \"Pause\" is not over the frozen frame")

            game.key("alt+Return")
            wait_until("a window again after Alt+Enter", lambda: is_window(game), alive=game.alive)
            shot = game.wait_still("the pause screen in a window again")
            game.save("paused-window-again", shot)
            if shot.differs(paused):
                raise Failure("back in a window the pause screen is not the one from before the switches")

            log("the name entry over the frozen frame")
            game.key("p")
            wait_until("the game to run again", lambda: game.client_shot().differs(paused), alive=game.alive)
            asked = None
            for _ in range(6):
                game.key("Escape")
                try:
                    asked = wait_for(game, "the in-game \"Exit game?\"", lambda s, g: g.shows(
                        s, "SheetDialogPanel", 190, 200, region=(0, 0, 40, 40)), timeout=3)
                    break
                except Failure:
                    continue
            if asked is None:
                raise Failure("the in-game \"Exit game?\" did not come up")
            game.key("y")
            entry = wait_for(game, "the name entry after the game-over display", lambda s, g: g.shows(
                s, "SheetDialogPanel", 215, 200, region=(0, 0, 40, 40)), timeout=40)
            # The pointer off the buttons: a lit "Ok" or "Cancel" would not be
            # the frame's doing.
            game.move_to(20, 20)
            entry = game.wait_still("the name entry at rest")
            game.save("name-entry", entry)
            game.key("alt+Return")
            wait_until("full screen from the name entry", lambda: is_full_screen(game), alive=game.alive)
            full = game.wait_still("the name entry in full screen")
            game.save("name-entry-full-screen", full)
            if not similar(full, entry):
                raise Failure("full screen does not show the name entry over the frozen frame")
            game.key("alt+Return")
            wait_until("a window again from the name entry", lambda: is_window(game), alive=game.alive)
            shot = game.wait_still("the name entry in a window again")
            # The name field's caret blinks: a few pixels may differ.
            if shot.differing_pixels(entry) > CARET_PIXELS:
                game.save("name-entry-window-again", shot)
                raise Failure("back in a window the name entry is not over the frame from before")
        finally:
            game.stop()


def click_to_focus(args):
    """A click that brings the game back acts on the item clicked."""
    with Display(1024, 768, wm=True) as display:
        other = display.other_window()
        game = start(display, args, "click-to-focus", music=False)
        try:
            to_main_menu(game)
            game.move_to(*NEW_GAME)
            wait_for(game, "\"New game\" lit under the pointer", lit(0))
            display.xdotool("windowactivate", other)
            wait_until("the other program to take the focus", lambda: not game.focused(), alive=game.alive)
            game.click(*HELP)
            wait_until("the click to give the game the focus", game.focused, alive=game.alive)
            shot = wait_for(game, "the help pages after clicking \"Help\"", help_overview, timeout=20)
            game.save("help-after-activating-click", shot)

            game.key("Escape")
            wait_for(game, "the main menu after Esc", main_menu)
            game.key("Escape")
            wait_for(game, "\"Exit game?\"", exit_question)
            game.move_to(*YES)
            game.wait_still("\"Yes\" lit under the pointer")
            display.xdotool("windowactivate", other)
            wait_until("the other program to take the focus", lambda: not game.focused(), alive=game.alive)
            game.click(*NO)
            shot = wait_for(game, "the main menu after clicking \"No\"", main_menu, timeout=20)
            game.save("menu-after-no", shot)
            if game.proc.poll() is not None:
                raise Failure("the click on \"No\" ended the game")
        finally:
            game.stop()


def pointer_free(args):
    """While another program has the focus the game never moves the pointer."""
    with Display(1024, 768, wm=True) as display:
        other = display.other_window()
        game = start(display, args, "pointer-free", music=False)
        try:
            to_main_menu(game)
            new_game(game)
            display.xdotool("windowactivate", other)
            wait_until("the other program to take the focus", lambda: not game.focused(), alive=game.alive)
            for cx, cy in ((300, 300), (500, 200), (650, 500)):
                x, y = game.screen_point(cx, cy)
                display.xdotool("mousemove", x, y)
                # Several frames of play over the window: the picture moves on.
                shot = game.client_shot()
                for n in range(4):
                    shot = game.wait_changed("frame %d of play with the pointer at %d,%d" % (n + 1, cx, cy), shot)
                    if display.pointer() != (x, y):
                        raise Failure("the game moved the pointer from %d,%d to %s while another program had "
                                      "the focus" % (x, y, display.pointer()))
            log("the pointer stayed where the player put it")
            display.xdotool("windowactivate", game.window)
            wait_until("the game to take the focus back", game.focused, alive=game.alive)
            left, top, _ = game.client_box()
            want = (int(left) + 200, int(top) + 200)
            wait_until("play to read the mouse again (pointer kept at the window's corner + 200, 200)",
                       lambda: display.pointer() == want, timeout=20, alive=game.alive)
        finally:
            game.stop()


def maximise(args):
    """Maximising the window through the window manager goes full screen."""
    with Display(1024, 768, wm=True) as display:
        require("wmctrl")
        game = start(display, args, "maximise", music=False)
        try:
            to_main_menu(game)
            actions = display.output(["xprop", "-id", str(game.window), "_NET_WM_ALLOWED_ACTIONS"]).decode()
            if "_NET_WM_ACTION_MAXIMIZE_HORZ" not in actions:
                raise Failure("the game's window offers no maximise to the window manager (not resizable)")
            display.call(["wmctrl", "-i", "-r", str(game.window), "-b", "add,maximized_vert,maximized_horz"])
            wait_until("full screen after maximising", lambda: is_full_screen(game), alive=game.alive)
            full = game.wait_still("the main menu in full screen")
            game.save("maximised", full)
            if not main_menu(game.client_shot(), game) and full.is_black():
                raise Failure("the maximised game shows no picture")
            game.key("alt+Return")
            wait_until("a window again after Alt+Enter", lambda: is_window(game), alive=game.alive)
            wait_for(game, "the main menu in a window", main_menu)
            # Resizing by the border is undone: the window keeps 800 x 600.
            display.call(["xdotool", "windowsize", str(game.window), "900", "700"])
            wait_until("the window back at 800 x 600 after a resize", lambda: is_window(game), timeout=20,
                       alive=game.alive)
        finally:
            game.stop()


def held_alt_enter(args):
    """A held Alt+Enter switches to full screen once."""
    with Display(1024, 768, wm=True) as display:
        game = start(display, args, "held-alt-enter", music=False)
        try:
            to_main_menu(game)
            modes = []

            def look():
                mode = "full" if is_full_screen(game) else "window" if is_window(game) else None
                if mode and (not modes or modes[-1] != mode):
                    modes.append(mode)
                    log("  %s" % mode)
                return mode

            look()
            game.keydown("alt")
            game.keydown("Return")
            # The keys are held as a player holds them: the first switch,
            # then on past the X server's repeat delay and through its repeats
            # until the full-screen picture has stayed at rest for a while.
            # A repeat that switched again would keep the picture moving.
            wait_until("the switch to full screen while Alt+Enter is held",
                       lambda: look() == "full", timeout=60, alive=game.alive)
            rest = {"shot": None, "since": 0.0}

            def at_rest_in_full_screen():
                # Every look counts: a window seen in between is a second switch.
                mode, shot = look(), game.client_shot()
                if modes != ["window", "full"]:
                    raise Failure("a held Alt+Enter went through %s, not one switch to full screen" % modes)
                if mode != "full" or rest["shot"] is None or shot.rgb != rest["shot"].rgb:
                    rest["shot"], rest["since"] = shot, time.monotonic()
                    return False
                return time.monotonic() - rest["since"] >= 1.5

            wait_until("the full-screen picture at rest with Alt+Enter still held", at_rest_in_full_screen,
                       timeout=60, alive=game.alive)
            game.keyup("Return")
            game.keyup("alt")
            # Switches still queued are made while the picture settles.
            for _ in range(2):
                game.wait_still("the picture to settle after the held keys", timeout=30, span=0.8)
                look()
            if modes != ["window", "full"]:
                raise Failure("a held Alt+Enter went through %s, not one switch to full screen" % modes)
            if not is_full_screen(game):
                raise Failure("the game did not stay in full screen")
        finally:
            game.stop()


def effects_silent(args):
    """After the boss key during play the game's effects are not heard; back
    in front they are."""
    with Display(1024, 768, wm=True) as display:
        raw = os.path.join(args.artifacts, "effects-silent", "run.raw")
        os.makedirs(os.path.dirname(raw), exist_ok=True)
        if os.path.exists(raw):
            os.remove(raw)
        game = Game(display, args.build, os.path.join(args.artifacts, "effects-silent"),
                    config=config_bytes(music=False), audio_file=raw)
        rec = Recording(raw)
        game.start()
        try:
            to_main_menu(game)
            new_game(game)
            # The stage title's fanfare starts now and lasts over six seconds.
            game.key("F12")
            wait_until("the boss key to minimise the game", lambda: hidden(game), timeout=20, alive=game.alive)
            first = rec.written()
            rec.hold(3.0, alive=game.alive)
            rms, peak = rec.levels(first, rec.written())
            log("minimised during play: RMS %.1f, peak %d (must be below %.0f and %d)"
                % (rms, peak, SILENCE_RMS_MAX, SILENCE_PEAK_MAX))
            if rms >= SILENCE_RMS_MAX or peak >= SILENCE_PEAK_MAX:
                raise Failure("the game's effects are heard while it is minimised")
            display.xdotool("windowactivate", game.window)
            wait_until("the game back from minimised", lambda: not hidden(game) and game.focused(),
                       alive=game.alive)
            game.key("p")  # it came back paused
            game.keydown("ctrl")
            first = rec.written()
            rec.hold(1.5, alive=game.alive)
            game.keyup("ctrl")
            rms, peak = rec.levels(first, rec.written())
            log("firing in front: RMS %.1f, peak %d (RMS must be above %.0f)" % (rms, peak, EFFECTS_RMS_MIN))
            if rms <= EFFECTS_RMS_MIN:
                raise Failure("the effects are not heard again once the game is in front")
        finally:
            game.stop()


def large_desktop(args):
    """On a 2560 x 1440 desktop the window is 1600 x 1200 and clicks map back."""
    with Display(2560, 1440, wm=True) as display:
        game = start(display, args, "large-desktop", music=False)
        try:
            x, y, w, h = game.geometry()
            if (w, h) != (1600, 1200):
                raise Failure("the game opens at %d x %d on a 2560 x 1440 desktop, not in the 1600 x 1200 window"
                           % (w, h))
            to_main_menu(game)
            game.click(*HELP)
            shot = wait_for(game, "the help pages after clicking \"Help\" in the 2x window", help_overview)
            game.save("help-2x", shot)
        finally:
            game.stop()


SCENARIOS = {
    "frozen-frame": frozen_frame,
    "click-to-focus": click_to_focus,
    "pointer-free": pointer_free,
    "maximise": maximise,
    "held-alt-enter": held_alt_enter,
    "effects-silent": effects_silent,
    "large-desktop": large_desktop,
}


class Args:
    pass


if __name__ == "__main__":
    if len(sys.argv) < 3 or sys.argv[2] not in SCENARIOS:
        sys.stderr.write("usage: desktop_run.py <build folder> <%s> [<artifacts>]\n" % "|".join(SCENARIOS))
        sys.exit(2)
    a = Args()
    a.build = os.path.abspath(sys.argv[1])
    a.artifacts = os.path.abspath(sys.argv[3] if len(sys.argv) > 3 else os.path.join(a.build, "desktop-artifacts"))
    sys.exit(main(lambda: SCENARIOS[sys.argv[2]](a)))
