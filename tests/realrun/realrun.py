"""The one helper for every test that drives the real program.

It starts a private X display (Xvfb picks a free display number itself), with
the openbox window manager when asked, starts the game in a folder of its own
with its pictures and music linked in, finds its window, takes screenshots
straight from the X server, drives the game with xdotool, and waits for what
the next step needs: a changed screen, a region that shows a picture of the
asset pack, a still screen, the process' end. Every wait has a generous time
limit and fails with a message naming the step it waited for; no step sleeps
for a fixed time.

The sound the game makes can be recorded with SDL's disk audio driver
(signed 16-bit stereo, written at about the pace of a sound card) and
measured.

    from realrun import Display, Game, Failure, Skip

A test script ends with exit status 0 (passed), 1 (failed) or 77 (skipped:
a tool is missing, or the game lacks what the step needs).
"""
import array
import ctypes
import os
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib

SKIP = 77
# Waits are generous: a loaded two-core machine runs the game, the X server
# and the test side by side. ZEPHYRION_RUN_PATIENCE scales them all.
PATIENCE = float(os.environ.get("ZEPHYRION_RUN_PATIENCE", "1"))
CLIENT_W, CLIENT_H = 800, 600
T0 = time.monotonic()


class Failure(Exception):
    """A check or a wait failed; the message names the step."""


class Skip(Exception):
    """The run cannot be made here (a tool or a feature is missing)."""


def log(message):
    sys.stdout.write("[%7.2f s] %s\n" % (time.monotonic() - T0, message))
    sys.stdout.flush()


def require(*tools):
    for tool in tools:
        if shutil.which(tool) is None:
            raise Skip("%s is not installed" % tool)


def die_with_us():
    """Run in each child before it starts: it is killed when the test dies,
    even by a signal that skips the clean-up."""
    try:
        ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG
    except (OSError, AttributeError):
        pass


def wait_until(step, predicate, timeout=30.0, interval=0.05, alive=None):
    """Polls predicate() until it returns something true, and returns that.
    Fails naming `step` when `timeout` seconds (times the patience) pass."""
    deadline = time.monotonic() + timeout * PATIENCE
    while True:
        result = predicate()
        if result:
            return result
        if alive is not None:
            alive()
        if time.monotonic() > deadline:
            raise Failure("timed out after %.0f s waiting for %s" % (timeout * PATIENCE, step))
        time.sleep(interval)


def stopped_by_signal(signum, _frame):
    raise SystemExit(128 + signum)


def main(run):
    """Runs `run()` and turns its outcome into the exit status."""
    for signum in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(signum, stopped_by_signal)
    try:
        run()
    except Skip as e:
        log("SKIPPED: %s" % e)
        return SKIP
    except (Failure, subprocess.CalledProcessError) as e:
        log("FAIL: %s" % e)
        return 1
    log("PASS")
    return 0


# --- pictures -------------------------------------------------------------------
class Image:
    """An RGB picture: a screenshot, or a picture of the asset pack."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, bytes(rgb)

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def crop(self, x, y, w, h):
        rows = []
        for row in range(y, y + h):
            i = (row * self.width + x) * 3
            rows.append(self.rgb[i:i + w * 3])
        return Image(w, h, b"".join(rows))

    def is_black(self, level=8):
        return max(self.rgb) <= level

    def mean(self):
        return sum(self.rgb) / max(len(self.rgb), 1)

    def differs(self, other):
        return other is None or self.rgb != other.rgb

    def differing_pixels(self, other):
        """How many pixels differ from `other` (of the same size)."""
        a, b = self.rgb, other.rgb
        return sum(1 for i in range(0, len(a), 3) if a[i:i + 3] != b[i:i + 3]) if a != b else 0

    def save_png(self, path):
        raw = b"".join(b"\0" + self.rgb[y * self.width * 3:(y + 1) * self.width * 3]
                       for y in range(self.height))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n")
            f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)))
            f.write(chunk(b"IDAT", zlib.compress(raw, 1)))
            f.write(chunk(b"IEND", b""))


def decode_bmp(data):
    """An uncompressed 8-, 24- or 32-bit BMP as an Image."""
    if data[:2] != b"BM":
        raise Failure("not a BMP picture")
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, _planes, bpp, compression = struct.unpack_from("<iiHHI", data, 18)
    header = struct.unpack_from("<I", data, 14)[0]
    if compression not in (0, 3) or bpp not in (8, 24, 32):
        raise Failure("unsupported BMP (%d bits, compression %d)" % (bpp, compression))
    palette = []
    if bpp == 8:
        count = struct.unpack_from("<I", data, 46)[0] or 256
        base = 14 + header
        palette = [bytes((data[base + 4 * i + 2], data[base + 4 * i + 1], data[base + 4 * i]))
                   for i in range(count)]
    top_down = height < 0
    height = abs(height)
    stride = ((width * bpp + 31) // 32) * 4
    out = bytearray()
    for row in range(height):
        src = offset + (row if top_down else height - 1 - row) * stride
        if bpp == 8:
            out += b"".join(palette[b] for b in data[src:src + width])
        else:
            step = bpp // 8
            for x in range(width):
                p = src + x * step
                out += bytes((data[p + 2], data[p + 1], data[p]))
    return Image(width, height, out)


class AssetPack:
    """The game's asset pack: length-prefixed BMP pictures, the 60 game sheets
    first, then the 42 menu sheets."""

    GAME_SHEETS = 60

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        self.entries = []
        pos = 0
        while pos + 4 <= len(self.data):
            size = struct.unpack_from("<I", self.data, pos)[0]
            self.entries.append((pos + 4, size))
            pos += 4 + size
        self.cache = {}

    def entry(self, n):
        if n not in self.cache:
            start, size = self.entries[n]
            self.cache[n] = decode_bmp(self.data[start:start + size])
        return self.cache[n]

    def menu(self, sheet):
        return self.entry(self.GAME_SHEETS + sheet)

    def game(self, sheet):
        return self.entry(sheet)


def sheet_numbers(source_root):
    """The sheet names and numbers as the game's loader declares them."""
    import re
    numbers = {}
    with open(os.path.join(source_root, "graphics", "AssetPack.h")) as f:
        for name, value in re.findall(r"\b(Sheet\w+)\s*=\s*(\d+)", f.read()):
            numbers[name] = int(value)
    return numbers


def region_matches(shot, sx, sy, picture, px, py, w, h, tolerance=24, share=0.9, key=(255, 0, 255), step=2):
    """True when the w x h region of `shot` at (sx, sy) shows the region of
    `picture` at (px, py): at least `share` of the picture's pixels that are
    not its transparent colour `key` (every `step`-th in each direction) lie
    within `tolerance` per channel."""
    considered = close = 0
    for y in range(0, h, step):
        for x in range(0, w, step):
            want = picture.pixel(px + x, py + y)
            if key is not None and want == key:
                continue
            have = shot.pixel(sx + x, sy + y)
            considered += 1
            if all(abs(a - b) <= tolerance for a, b in zip(want, have)):
                close += 1
    return considered > 0 and close >= share * considered


# --- the X display ------------------------------------------------------------------
class _XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_ubyte)),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int), ("red_mask", ctypes.c_ulong),
                ("green_mask", ctypes.c_ulong), ("blue_mask", ctypes.c_ulong),
                ("obdata", ctypes.c_void_p), ("create_image", ctypes.c_void_p),
                ("destroy_image", ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p))]


class Display:
    """A private Xvfb of the given size, with openbox when `wm` is true
    (its messages go to the file `wm_log` when given)."""

    def __init__(self, width=1024, height=768, wm=False, folder=None, wm_log=None):
        require("Xvfb", "xdotool", "xwininfo", "xprop")
        if wm:
            require("openbox")
        self.width, self.height, self.wm, self.wm_log = width, height, wm, wm_log
        self.own_folder = folder is None
        self.folder = folder or tempfile.mkdtemp(prefix="zephyrion-x-")
        self.xvfb = self.openbox = None
        self.children = []
        self.xlib = self.dpy = None
        self.env = dict(os.environ)

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *_):
        self.stop()

    def start(self):
        rfd, wfd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(wfd), "-screen", "0", "%dx%dx24" % (self.width, self.height),
             "-nolisten", "tcp"],
            pass_fds=(wfd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, preexec_fn=die_with_us)
        os.close(wfd)
        number = b""
        deadline = time.monotonic() + 30 * PATIENCE
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            ready, _, _ = select.select([rfd], [], [], 0.5)
            if ready:
                chunk = os.read(rfd, 16)
                if not chunk:
                    break
                number += chunk
        os.close(rfd)
        if not number.strip():
            raise Failure("Xvfb did not start")
        self.name = ":" + number.decode().strip()
        self.env["DISPLAY"] = self.name
        self.env.pop("WAYLAND_DISPLAY", None)
        self.xlib = ctypes.CDLL("libX11.so.6")
        self.xlib.XOpenDisplay.restype = ctypes.c_void_p
        self.xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.xlib.XDefaultRootWindow.restype = ctypes.c_ulong
        self.xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.xlib.XGetImage.restype = ctypes.POINTER(_XImage)
        self.xlib.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                        ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.dpy = wait_until("the X display " + self.name + " to answer",
                              lambda: self.xlib.XOpenDisplay(self.name.encode()), timeout=20)
        self.root = self.xlib.XDefaultRootWindow(self.dpy)
        if self.wm:
            home = os.path.join(self.folder, "home")
            os.makedirs(home, exist_ok=True)
            env = dict(self.env, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"))
            out = open(self.wm_log, "ab") if self.wm_log else subprocess.DEVNULL
            try:
                self.openbox = subprocess.Popen(["openbox", "--sm-disable"], env=env, stdout=out, stderr=out,
                                                preexec_fn=die_with_us)
            finally:
                if self.wm_log:
                    out.close()
            wait_until("openbox to manage the screen",
                       lambda: b"_NET_SUPPORTING_WM_CHECK(WINDOW)" in self.output(
                           ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]), timeout=30)
        log("X display %s (%dx%d%s)" % (self.name, self.width, self.height, ", openbox" if self.wm else ""))

    def stop(self):
        for child in self.children:
            if child.poll() is None:
                child.kill()
                child.wait()
        if self.dpy:
            self.xlib.XCloseDisplay(self.dpy)
            self.dpy = None
        for proc in (self.openbox, self.xvfb):
            if proc is not None and proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(10)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()
        if self.own_folder:
            shutil.rmtree(self.folder, ignore_errors=True)

    # X tools on this display
    def call(self, argv):
        return subprocess.call(argv, env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def output(self, argv):
        result = subprocess.run(argv, env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        return result.stdout if result.returncode == 0 else b""

    def xdotool(self, *args):
        subprocess.check_call(["xdotool"] + [str(a) for a in args], env=self.env,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def spawn(self, argv):
        """Another program on the display (ended with the display)."""
        child = subprocess.Popen(argv, env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                 preexec_fn=die_with_us)
        self.children.append(child)
        return child

    def grab(self, x=0, y=0, w=None, h=None):
        """A screenshot of the whole screen, or of a part of it."""
        w = self.width - x if w is None else w
        h = self.height - y if h is None else h
        image = self.xlib.XGetImage(self.dpy, self.root, x, y, w, h, 0xFFFFFFFF, 2)  # ZPixmap
        if not image:
            raise Failure("the screen could not be read")
        try:
            img = image.contents
            if img.bits_per_pixel != 32:
                raise Failure("unexpected screen format: %d bits a pixel" % img.bits_per_pixel)
            raw = ctypes.string_at(img.data, img.bytes_per_line * h)
        finally:
            image.contents.destroy_image(image)
        rgb = bytearray(w * h * 3)
        for row in range(h):
            line = raw[row * img.bytes_per_line:row * img.bytes_per_line + w * 4]
            out = row * w * 3
            rgb[out + 0:out + w * 3:3] = line[2::4]
            rgb[out + 1:out + w * 3:3] = line[1::4]
            rgb[out + 2:out + w * 3:3] = line[0::4]
        return Image(w, h, rgb)

    def pointer(self):
        out = self.output(["xdotool", "getmouselocation", "--shell"]).decode()
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values.get("X", -1)), int(values.get("Y", -1))

    def focused_window(self):
        out = self.output(["xdotool", "getwindowfocus"]).strip()
        return int(out) if out.isdigit() else 0

    def other_window(self, title="Another program"):
        """A plain window of another program, for the game to lose the focus
        to; returns its window id once it is shown."""
        require("xmessage")

        def shown():
            for wid in self.output(["xdotool", "search", "--name", "^%s$" % title]).split():
                if b"IsViewable" in self.output(["xwininfo", "-id", wid.decode()]):
                    return int(wid)
            return 0

        for attempt in (1, 2):
            child = self.spawn(["xmessage", "-geometry", "+0+0", "-title", title, "-name", title,
                                "This is another program"])

            def running():
                if child.poll() is not None:
                    raise Failure("the other program (xmessage) ended with status %s" % child.returncode)

            try:
                return wait_until("the other program's window (attempt %d)" % attempt, shown, timeout=30,
                                  alive=running)
            except Failure as e:
                log("%s; windows named so: %s" % (e, self.output(["xdotool", "search", "--name", title])))
                child.kill()
                if attempt == 2:
                    raise


# --- the game ---------------------------------------------------------------------
# --- screens every run meets ---------------------------------------------------
def main_menu(g, s):
    """The main menu: the bottom edge of its panel, below every item (lit or not), and the backdrop."""
    return g.shows(s, "SheetMainMenuItems", 461, 327, region=(0, 247, 330, 8)) and \
        g.shows(s, "SheetMenuBackground", 0, 0, region=(100, 300, 40, 40))


def playing(g, s):
    """Play: the corner of the frame round the play area, and the side panel's top."""
    return g.shows(s, "SheetHudFrame", 0, 0, region=(0, 0, 90, 30)) and \
        g.shows(s, "SheetHudRight", 652, 37, region=(100, 0, 40, 20))


def config_bytes(windowed=True, music=True, sound=True, boss_key=123, country="", table=None):
    """A "Config.cfg": the options, then ten (name, score) entries, texts
    stored as a length byte and the complemented characters."""
    def text(s):
        raw = s.encode("cp1252")
        return bytes([len(raw) % 256]) + bytes(b ^ 0xFF for b in raw)

    table = table if table is not None else [("Pilot", -1)] * 10
    out = bytes([1 if windowed else 0, 1 if music else 0, 1 if sound else 0, boss_key & 0xFF]) + text(country)
    for name, score in table:
        out += text(name) + struct.pack("<i", score)
    return out


class Game:
    """The real program on a Display, in a folder of its own."""

    def __init__(self, display, build, artifacts, config=None, env=None, audio_file=None):
        self.display, self.build, self.artifacts = display, build, artifacts
        os.makedirs(artifacts, exist_ok=True)
        for name in os.listdir(artifacts):  # the screenshots of an earlier run
            if name.endswith(".png"):
                os.remove(os.path.join(artifacts, name))
        self.folder = tempfile.mkdtemp(prefix="zephyrion-game-")
        self.config, self.extra_env, self.audio_file = config, env or {}, audio_file
        self.proc = self.logfile = None
        self.window = 0
        self.shots = 0
        self.last = None
        self.pack = AssetPack(os.path.join(build, "Data", "Data.pp"))
        self.sheets = sheet_numbers(os.path.join(os.path.dirname(__file__), "..", ".."))

    def start(self):
        exe = os.path.join(self.build, "zephyrion")
        if not os.access(exe, os.X_OK):
            raise Failure("no game in " + self.build)
        for name in ("Data", "sound"):
            os.symlink(os.path.join(self.build, name), os.path.join(self.folder, name))
        if self.config is not None:
            with open(os.path.join(self.folder, "Config.cfg"), "wb") as f:
                f.write(self.config)
        env = dict(self.display.env)
        env["SDL_AUDIODRIVER"] = "dummy"
        if self.audio_file:
            env["SDL_AUDIODRIVER"] = "disk"
            env["SDL_DISKAUDIOFILE"] = self.audio_file
        env.update(self.extra_env)
        self.logfile = open(os.path.join(self.artifacts, "game.log"), "wb")
        self.proc = subprocess.Popen([exe], cwd=self.folder, env=env, stdout=self.logfile,
                                     stderr=subprocess.STDOUT, preexec_fn=die_with_us)
        found = wait_until("the game's window", lambda: self.display.output(
            ["xdotool", "search", "--onlyvisible", "--name", "^Zephyrion$"]), timeout=90, alive=self.alive)
        self.window = int(found.split()[0])
        wait_until("the game's first picture", lambda: not self.client_shot().is_black(), timeout=90,
                   alive=self.alive)
        x, y, w, h = self.geometry()
        log("game window %d at %d,%d, %dx%d" % (self.window, x, y, w, h))
        return self

    def stop(self):
        if self.proc is not None and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        if self.logfile is not None:
            self.logfile.close()
            self.logfile = None
        cfg = os.path.join(self.folder, "Config.cfg")
        if os.path.exists(cfg):
            shutil.copy(cfg, os.path.join(self.artifacts, "Config.cfg"))
        shutil.rmtree(self.folder, ignore_errors=True)

    def alive(self):
        if self.proc.poll() is not None:
            raise Failure("the game ended early with status %s (see %s)"
                          % (self.proc.returncode, os.path.join(self.artifacts, "game.log")))

    def wait_end(self, step, timeout=30):
        wait_until(step, lambda: self.proc.poll() is not None, timeout=timeout)
        return self.proc.returncode

    def path(self, name):
        return os.path.join(self.folder, name)

    # --- where the window is
    def geometry(self):
        """(x, y, width, height) of the window's client area on the screen."""
        out = self.display.output(["xwininfo", "-id", str(self.window)]).decode()
        values = {}
        for line in out.splitlines():
            name, _, value = line.strip().partition(":")
            values[name] = value.strip()
        try:
            return tuple(int(values[k]) for k in ("Absolute upper-left X", "Absolute upper-left Y", "Width",
                                                  "Height"))
        except (KeyError, ValueError):
            raise Failure("the game's window %d has no geometry" % self.window)

    def client_box(self):
        """(left, top, scale) of the 800 x 600 picture on the screen: the
        window's area, or the picture centred and scaled in a larger window."""
        x, y, w, h = self.geometry()
        scale = min(w / CLIENT_W, h / CLIENT_H)
        return x + (w - CLIENT_W * scale) / 2, y + (h - CLIENT_H * scale) / 2, scale

    def screen_point(self, cx, cy):
        left, top, scale = self.client_box()
        return int(left + (cx + 0.5) * scale), int(top + (cy + 0.5) * scale)

    def client_shot(self):
        """The 800 x 600 picture as shown: cut from the screen when it is shown
        at its own size or at a whole multiple of it (one pixel of each block
        then); otherwise the whole screen."""
        left, top, scale = self.client_box()
        left, top = int(round(left)), int(round(top))
        k = int(round(scale))
        if abs(scale - k) > 1e-6 or k < 1 or left < 0 or top < 0 or left + CLIENT_W * k > self.display.width \
                or top + CLIENT_H * k > self.display.height:
            return self.display.grab()
        shot = self.display.grab(left, top, CLIENT_W * k, CLIENT_H * k)
        if k == 1:
            return shot
        rows = []
        for y in range(CLIENT_H):
            row = shot.rgb[y * k * shot.width * 3:(y * k * shot.width + shot.width) * 3]
            small = bytearray(CLIENT_W * 3)
            for c in range(3):
                small[c::3] = row[c::3 * k]
            rows.append(bytes(small))
        return Image(CLIENT_W, CLIENT_H, b"".join(rows))

    def focused(self):
        return self.display.focused_window() == self.window

    def state(self):
        """The window manager's _NET_WM_STATE of the window (text)."""
        return self.display.output(["xprop", "-id", str(self.window), "_NET_WM_STATE"]).decode()

    # --- input
    def key(self, *keys, delay=100):
        self.alive()
        self.display.xdotool("key", "--delay", delay, *keys)

    def keydown(self, key):
        self.alive()
        self.display.xdotool("keydown", key)

    def keyup(self, key):
        self.display.xdotool("keyup", key)

    def move_to(self, cx, cy):
        """The pointer to (cx, cy) of the 800 x 600 picture."""
        self.alive()
        x, y = self.screen_point(cx, cy)
        self.display.xdotool("mousemove", x, y)
        wait_until("the pointer to reach %d,%d" % (x, y), lambda: self.display.pointer() == (x, y), timeout=10)

    def click(self, cx, cy):
        self.move_to(cx, cy)
        self.display.xdotool("click", 1)

    # --- waiting for the screen
    def wait_picture(self, step, predicate, timeout=30):
        """Polls screenshots of the picture until predicate(image) holds;
        returns that screenshot."""
        box = []

        def check():
            shot = self.client_shot()
            if predicate(shot):
                box.append(shot)
                return True
            return False

        wait_until(step, check, timeout=timeout, interval=0.05, alive=self.alive)
        return box[0]

    def wait_changed(self, step, before=None, timeout=30):
        before = before if before is not None else self.last
        return self.wait_picture(step, lambda s: s.differs(before), timeout)

    def wait_still(self, step, timeout=30, span=0.4, black_ok=False):
        """Until two screenshots `span` seconds apart show the same picture
        (not a black one unless `black_ok`: a window just mapped stays black
        until the game's next frame, which a loaded machine may delay)."""
        state = {"shot": self.client_shot(), "at": time.monotonic()}

        def check():
            if time.monotonic() - state["at"] < span:
                return False
            shot = self.client_shot()
            if shot.rgb == state["shot"].rgb and (black_ok or not shot.is_black()):
                return shot
            state["shot"], state["at"] = shot, time.monotonic()
            return False

        return wait_until(step, check, timeout=timeout, interval=0.05, alive=self.alive)

    def shows(self, shot, sheet, x, y, region=None, menu=True, **kw):
        """True when the screenshot `shot` (of the 800 x 600 picture) shows
        the sheet's picture placed at (x, y), over `region` = (rx, ry, w, h) of
        the sheet (default: all of it)."""
        number = self.sheets[sheet] if isinstance(sheet, str) else sheet
        picture = self.pack.menu(number) if menu else self.pack.game(number)
        rx, ry, w, h = region or (0, 0, picture.width, picture.height)
        return region_matches(shot, x + rx, y + ry, picture, rx, ry, w, h, **kw)

    def save(self, name, shot):
        self.shots += 1
        shot.save_png(os.path.join(self.artifacts, "%02d-%s.png" % (self.shots, name)))


# --- recorded sound ---------------------------------------------------------------------
RATE = 44100
FRAME_BYTES = 4  # 16-bit stereo


class Recording:
    """The file SDL's disk audio driver writes."""

    def __init__(self, path):
        self.path = path

    def written(self):
        try:
            return os.path.getsize(self.path) // FRAME_BYTES
        except OSError:
            return 0

    def hold(self, seconds, alive=None):
        """Until `seconds` more of sound have been recorded."""
        target = self.written() + int(seconds * RATE)
        wait_until("%.1f s more of recorded sound" % seconds, lambda: self.written() >= target,
                   timeout=4 * seconds + 20, alive=alive)

    def samples(self, first=0, last=None):
        data = open(self.path, "rb").read()
        last = len(data) // FRAME_BYTES if last is None else last
        out = array.array("h")
        out.frombytes(data[first * FRAME_BYTES:last * FRAME_BYTES])
        if sys.byteorder != "little":
            out.byteswap()
        return out

    def levels(self, first, last):
        """(RMS, peak) of frames [first, last) on the 16-bit scale."""
        if last <= first:
            raise Failure("an empty stretch of the recording %d..%d" % (first, last))
        s = self.samples(first, last)
        if not s:
            raise Failure("nothing recorded in %d..%d" % (first, last))
        total = sum(v * v for v in s)
        return (total / len(s)) ** 0.5, max(abs(v) for v in s)


def similar(a, b, columns=8, rows=6, tolerance=14):
    """True when two pictures of possibly different sizes show the same
    thing: the mean colour of each cell of a columns x rows grid agrees
    within `tolerance` (a frame scaled to full screen against the frame)."""
    def cells(img):
        out = []
        for r in range(rows):
            for c in range(columns):
                x0, x1 = img.width * c // columns, img.width * (c + 1) // columns
                y0, y1 = img.height * r // rows, img.height * (r + 1) // rows
                total = [0, 0, 0]
                count = 0
                for y in range(y0, y1, 3):
                    line = img.rgb[(y * img.width + x0) * 3:(y * img.width + x1) * 3]
                    for ch in range(3):
                        total[ch] += sum(line[ch::9])
                    count += len(line[0::9])
                out.append([t / max(count, 1) for t in total])
        return out

    return all(abs(p - q) <= tolerance for ca, cb in zip(cells(a), cells(b)) for p, q in zip(ca, cb))
