#!/usr/bin/python3
"""The real program's present on real X servers, driven by xdotool.

    present_run.py <build folder> [path|maximise|large]...   (default: all three)

path      bare Xvfb 1280 x 1024: the game presents through the window surface
          with no OpenGL library mapped; its window picture is byte for byte
          the picture of the renderer path (SDL_RENDER_DRIVER=opengl, as the
          game showed frames before); full screen is that picture scaled with
          sharp pixels into 1280 x 960 between black bars.
maximise  openbox on Xvfb 1280 x 1024: the window manager offers maximise;
          dragging the border never changes the window's size; maximise and a
          double click on the caption go full screen, Alt+Enter comes back.
large     openbox on Xvfb 2560 x 1440: the window opens at 1600 x 1200,
          centred, every frame pixel a sharp 2 x 2 block; a click on a menu
          item chooses that item.

Every step waits for what it needs (a window, a geometry, a still screen)
with a generous time-out and names the step when it gives up; nothing waits
for a fixed time. Screenshots of a failing step are kept in
<build>/present-artifacts/.
"""
import os
import shutil
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "realrun"))
from realrun import Display, Failure, Game, Skip, wait_until  # noqa: E402

# Generous: a loaded 2-core machine may take many seconds for one step.
TIMEOUT = 120.0
GL_LIBRARIES = ("libGL.", "libGLX", "libEGL", "libLLVM", "_dri.so", "libgallium")


def wait_for(step, probe, timeout=TIMEOUT, interval=0.05):
    """Polls probe() until it returns something true; fails naming the step."""
    return wait_until(step, probe, timeout=timeout, interval=interval)


class Desktop:
    """A private Xvfb, optionally with openbox, and the game on it (the
    shared real-program helper's Display and Game)."""

    games = 0  # numbers the games' output folders over the whole run

    def __init__(self, build, size, wm, artifacts):
        self.build, self.size, self.artifacts = build, size, artifacts
        self.game = self.proc = None
        os.makedirs(artifacts, exist_ok=True)
        self.display = Display(size[0], size[1], wm=wm,
                               wm_log=os.path.join(artifacts, "openbox.log") if wm else None)
        try:
            self.display.start()
        except BaseException:
            self.display.stop()
            raise
        # The path is chosen by the game, not by a setting left in the caller's
        # environment.
        self.display.env.pop("SDL_RENDER_DRIVER", None)
        self.env = self.display.env

    def call(self, *args):
        r = subprocess.run(list(args), env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        return r.stdout.decode(errors="replace") if r.returncode == 0 else None

    def start_game(self, **extra):
        # Each game keeps its output in a folder of its own.
        Desktop.games += 1
        label = "-".join(["game%d" % Desktop.games] + ["%s-%s" % kv for kv in extra.items()])
        self.game = Game(self.display, self.build, os.path.join(self.artifacts, label), env=extra)
        try:
            self.game.start()
        except Failure as e:
            # Tell a game without a window on this X server from a hidden window.
            if self.game.proc is None or self.game.proc.poll() is not None:
                raise
            any_window = self.call("xdotool", "search", "--pid", str(self.game.proc.pid))
            raise Failure("%s (%s)" % (e, "a window, never shown" if any_window else
                                       "no window of the game on this X server at all"))
        self.proc = self.game.proc
        self.window = str(self.game.window)
        return self.proc

    def alive(self):
        self.game.alive()

    def stop_game(self):
        if self.game is not None:
            self.game.stop()
        self.game = self.proc = None

    def geometry(self):
        """The client area: x, y, width, height on the screen (xwininfo's
        absolute position is right also inside a window manager's frame)."""
        try:
            return self.game.geometry()
        except Failure:
            return None

    def screen(self):
        """The whole screen as raw RGB bytes."""
        return self.display.grab().rgb

    def crop(self, shot, x, y, w, h):
        sw = self.size[0]
        return b"".join(shot[((y + row) * sw + x) * 3:((y + row) * sw + x + w) * 3] for row in range(h))

    def still(self, step, region=None, timeout=TIMEOUT, shows=None):
        """Waits until the screen (or a region of it) is not black, shows the
        same picture in two grabs running and, when given, passes shows(picture);
        returns that picture."""
        previous = [None]

        def probe():
            self.alive()
            shot = self.screen()
            if shot is None:
                return None
            pic = self.crop(shot, *region) if region else shot
            same = pic == previous[0] and pic.count(0) < len(pic) * 0.98
            previous[0] = pic
            return pic if same and (shows is None or shows(pic)) else None

        try:
            return wait_for(step, probe, timeout, interval=0.15)
        except Failure:
            self.keep(step, previous[0], region)
            raise

    def keep(self, name, picture, region=None):
        if picture is None:
            return
        os.makedirs(self.artifacts, exist_ok=True)
        w, h = (region[2], region[3]) if region else self.size
        path = os.path.join(self.artifacts, "".join(c if c.isalnum() else "-" for c in name)[:60])
        with open(path + ".ppm", "wb") as f:
            f.write(b"P6\n%d %d\n255\n" % (w, h) + picture)

    def key(self, *keys):
        self.alive()
        self.call("xdotool", "key", "--delay", "120", *keys)

    def opengl_libraries(self):
        found = set()
        with open("/proc/%d/maps" % self.proc.pid) as f:
            for line in f:
                parts = line.split()
                if len(parts) >= 6 and any(lib in os.path.basename(parts[-1]) for lib in GL_LIBRARIES):
                    found.add(os.path.basename(parts[-1]))
        return sorted(found)

    def close(self):
        self.stop_game()
        self.display.stop()


def centre_scaled(picture, w, h, out_w, out_h):
    """The picture scaled as the game's scaler does: every output pixel takes
    the source pixel under its centre."""
    cols = [((2 * i + 1) * w) // (2 * out_w) for i in range(out_w)]
    rows = [((2 * j + 1) * h) // (2 * out_h) for j in range(out_h)]
    out = bytearray()
    for sy in rows:
        line = picture[sy * w * 3:(sy + 1) * w * 3]
        out += b"".join(line[sx * 3:sx * 3 + 3] for sx in cols)
    return bytes(out)


def differing_pixels(a, b):
    return sum(1 for i in range(0, min(len(a), len(b)), 3) if a[i:i + 3] != b[i:i + 3]) + abs(len(a) - len(b)) // 3


def bright_pixels(picture, width, scale, x0, y0, x1, y1):
    """Bright green pixels in a rectangle given in frame pixels."""
    n = 0
    for y in range(y0 * scale, y1 * scale, scale):
        for x in range(x0 * scale, x1 * scale, scale):
            n += picture[(y * width + x) * 3 + 1] > 200
    return n


# The click acts on the item lit under the pointer: the tests wait until the
# item they point at is lit before they click.
# What tells the screens apart: the lit "New game" row of the main menu (the
# intro shows the same menu unlit), the "HELP" title of the help pages.
def main_menu(scale=1):
    return lambda pic: bright_pixels(pic, 800 * scale, scale, 470, 340, 786, 372) > 400


def help_page(scale=1):
    return lambda pic: bright_pixels(pic, 800 * scale, scale, 430, 20, 620, 60) > 300


# Full screen on 1280 x 1024: the frame scaled 1.6x into 1280 x 960 between
# bars of 32 rows. The screen pixel at ((x + 0.5) * 1.6) shows frame pixel x.
def full_x(x):
    return int((x + 0.5) * 1.6)


def full_y(y):
    return 32 + int((y + 0.5) * 1.6)


def bright_full(shot, x0, y0, x1, y1):
    n = 0
    for y in range(y0, y1):
        for x in range(x0, x1):
            n += shot[(full_y(y) * 1280 + full_x(x)) * 3 + 1] > 200
    return n


def full_help_page(shot):
    return bright_full(shot, 430, 20, 620, 60) > 300


def to_help_screen(d, window_region):
    """From the start to the help overview (a screen that stands still)."""
    d.still("the main menu after the intro", window_region, shows=main_menu())
    # Without a window manager nobody gives the window the keyboard: the
    # keys would go wherever the pointer happens to be.
    d.call("xdotool", "windowfocus", "--sync", d.window)
    d.key("Down", "Down", "Down", "Return")
    return d.still("the help overview after Down x3 and Enter", window_region, shows=help_page())


def check_path(build, artifacts, results):
    """The window surface without OpenGL, the same picture as the renderer's."""
    pictures = {}
    for label, extra in (("renderer", {"SDL_RENDER_DRIVER": "opengl"}), ("surface", {})):
        d = Desktop(build, (1280, 1024), False, artifacts)
        try:
            try:
                d.start_game(**extra)
            except Failure as e:
                raise Failure("%s path: %s" % (label, e))
            region = wait_for("the window at 800 x 600", lambda: (g := d.geometry()) and g[2:] == (800, 600) and g)
            pictures[label] = to_help_screen(d, region)
            libs = d.opengl_libraries()
            if label == "renderer":
                # The check below can see a mapped OpenGL stack at all.
                if not libs:
                    raise Failure("the renderer path shows no OpenGL library in /proc/PID/maps")
                continue
            if libs:
                raise Failure("OpenGL libraries mapped with the window surface: " + ", ".join(libs))
            if pictures["surface"] != pictures["renderer"]:
                d.keep("path-renderer-help", pictures["renderer"], region)
                d.keep("path-surface-help", pictures["surface"], region)
                raise Failure("window picture differs from the renderer's in %d pixels"
                              % differing_pixels(pictures["surface"], pictures["renderer"]))
            # Full screen: the same picture at 1280 x 960 between bars of 32 rows.
            d.key("alt+Return")
            wait_for("full screen covers 1280 x 1024",
                     lambda: (g := d.geometry()) and g == (0, 0, 1280, 1024))
            shot = d.still("the help overview in full screen")
            top = d.crop(shot, 0, 0, 1280, 32)
            bottom = d.crop(shot, 0, 992, 1280, 32)
            if top.count(0) != len(top) or bottom.count(0) != len(bottom):
                d.keep("path-full-screen", shot)
                raise Failure("the bars above and below the full-screen picture are not black")
            expected = centre_scaled(pictures["surface"], 800, 600, 1280, 960)
            got = d.crop(shot, 0, 32, 1280, 960)
            if got != expected:
                d.keep("path-full-screen", shot)
                raise Failure("full-screen picture differs from the window picture scaled in %d pixels"
                              % differing_pixels(got, expected))
            if d.opengl_libraries():
                raise Failure("full screen mapped OpenGL: " + ", ".join(d.opengl_libraries()))
        finally:
            d.close()
    results["help"] = pictures["surface"]


def frame_extents(d):
    out = d.call("xprop", "-id", d.window, "_NET_FRAME_EXTENTS") or ""
    if "=" not in out:
        return None
    return [int(v) for v in out.split("=", 1)[1].replace(",", " ").split()]


def check_maximise(build, artifacts, results):
    d = Desktop(build, (1280, 1024), True, artifacts)
    try:
        d.start_game()
        windowed = lambda: (g := d.geometry()) and g[2:] == (800, 600) and g
        wait_for("the window at 800 x 600 under openbox", windowed)
        extents = wait_for("openbox frames the window", lambda: frame_extents(d))
        actions = d.call("xprop", "-id", d.window, "_NET_WM_ALLOWED_ACTIONS") or ""
        if "_NET_WM_ACTION_MAXIMIZE_HORZ" not in actions:
            raise Failure("openbox offers no maximise: " + actions.strip())
        d.still("the main menu after the intro", wait_for("geometry", d.geometry), shows=main_menu())

        # Dragging the border: the window comes back to its size.
        d.call("xdotool", "windowsize", d.window, "1000", "700")
        wait_for("the size given by the window manager is undone", windowed)

        # Maximise through the window manager: full screen, as Alt+Enter.
        d.call("wmctrl", "-i", "-r", d.window, "-b", "add,maximized_vert,maximized_horz")
        wait_for("maximise goes full screen", lambda: d.geometry() == (0, 0, 1280, 1024))
        shot = d.still("the full-screen menu after maximise")
        if d.crop(shot, 0, 0, 1280, 32).count(0) != 1280 * 32 * 3:
            d.keep("maximise-full-screen", shot)
            raise Failure("no letterbox bar above the full-screen picture after maximise")
        # The mouse maps back through the letterbox: a click on "Help"
        # (frame 628, 471), at the screen position showing that frame pixel,
        # opens the help overview.
        d.call("xdotool", "mousemove", str(full_x(628)), str(full_y(471)))
        d.still("Help lit under the pointer in full screen", shows=lambda pic: bright_full(pic, 470, 456, 786, 488) > 300)
        d.call("xdotool", "click", "1")
        d.still("the help overview after a click on Help in full screen", shows=full_help_page)
        d.key("alt+Return")
        g = wait_for("Alt+Enter comes back to the window", windowed)

        # A double click on the caption: full screen again. The window may
        # still be on its way to its place: the caption is found on a
        # geometry that reads the same twice running.
        # The window manager judges the two clicks' timing itself; on a busy
        # machine it may take them as two single clicks, so the double click
        # is given again while the window is still not full screen.
        full = lambda: d.geometry() == (0, 0, 1280, 1024)
        for attempt in range(3):
            last = [None]

            def settled():
                now = windowed()
                same = now and now == last[0]
                last[0] = now
                return same and now

            g = wait_for("the window settles before the caption double click", settled, interval=0.3)
            caption_y = g[1] - max(extents[2] // 2, 1)
            d.call("xdotool", "mousemove", str(g[0] + 200), str(caption_y))
            d.call("xdotool", "click", "--repeat", "2", "--delay", "60", "1")
            try:
                wait_for("a double click on the caption goes full screen", full, timeout=TIMEOUT / 3)
                break
            except Failure:
                if attempt == 2:
                    raise
        d.key("alt+Return")
        wait_for("back to the window after the caption double click", windowed)
    finally:
        d.close()


def check_large(build, artifacts, results):
    d = Desktop(build, (2560, 1440), True, artifacts)
    try:
        d.start_game()
        g = wait_for("the window at 1600 x 1200 on 2560 x 1440",
                     lambda: (g := d.geometry()) and g[2:] == (1600, 1200) and g)
        extents = wait_for("openbox frames the window", lambda: frame_extents(d))
        # Centred with its frame (openbox may keep the frame inside the work area).
        outer_x = g[0] - extents[0]
        outer_w = 1600 + extents[0] + extents[1]
        if abs(outer_x - (2560 - outer_w) // 2) > 2:
            raise Failure("the 1600 x 1200 window is not centred: client at %s, frame %s" % (g, extents))
        menu = d.still("the main menu at 2x", g, shows=main_menu(2))
        # Every frame pixel is a sharp 2 x 2 block.
        w = 1600 * 3
        for y in range(0, 1200, 2):
            top, below = menu[y * w:(y + 1) * w], menu[(y + 1) * w:(y + 2) * w]
            if top != below or any(top[x:x + 3] != top[x + 3:x + 6] for x in range(0, w, 6)):
                d.keep("large-menu", menu, g)
                raise Failure("the 2x picture is not made of 2 x 2 blocks (row %d)" % y)
        # A click on "Help" (frame 628, 471) chooses Help.
        d.call("xdotool", "mousemove", str(g[0] + 2 * 628), str(g[1] + 2 * 471))
        d.still("Help lit under the pointer at 2x", g,
                shows=lambda pic: bright_pixels(pic, 1600, 2, 470, 456, 786, 488) > 300)
        d.call("xdotool", "click", "1")
        shot = d.still("the help overview after the click on Help", g, shows=help_page(2))
        if "help" in results:
            small = bytearray()
            for y in range(0, 1200, 2):
                row = shot[y * w:(y + 1) * w]
                small += b"".join(row[x:x + 3] for x in range(0, w, 6))
            if bytes(small) != results["help"]:
                d.keep("large-after-click", shot, g)
                raise Failure("the click at 2x did not open the help overview (%d pixels differ)"
                              % differing_pixels(bytes(small), results["help"]))
    finally:
        d.close()


def main():
    if len(sys.argv) < 2:
        print("usage: present_run.py <build folder> [path|maximise|large]...", file=sys.stderr)
        return 2
    # A time-out from outside still closes the X servers and the game.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    build = os.path.abspath(sys.argv[1])
    parts = sys.argv[2:] or ["path", "maximise", "large"]
    artifacts = os.path.join(build, "present-artifacts")
    shutil.rmtree(artifacts, ignore_errors=True)
    checks = {"path": check_path, "maximise": check_maximise, "large": check_large}
    results = {}
    failed = 0
    for part in parts:
        start = time.monotonic()
        try:
            checks[part](build, artifacts, results)
            print("ok   %s (%.1f s)" % (part, time.monotonic() - start), flush=True)
        except Skip as e:
            print("SKIPPED: %s" % e, flush=True)
            return 77
        except (Failure, subprocess.CalledProcessError) as e:
            failed += 1
            print("FAIL %s: %s" % (part, e), flush=True)
    if failed:
        print("screenshots and the game's output: " + artifacts, flush=True)
    else:
        shutil.rmtree(artifacts, ignore_errors=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
