#!/usr/bin/env python3
"""Listens to the real program in its menus: the menu music plays, a menu move
clicks, and switching the music off on the options screen leaves the menus
silent but for the clicks.

The game runs on a private virtual X display (so xdotool can type into its
window) with SDL's disk audio driver, which writes the mixed output (signed
16-bit stereo, 44100 Hz) to a file at about the pace of a sound card. On a busy
machine that pace drifts from the wall clock, so every key press is pinned to
the number of frames written at that moment, and the stretches measured are
counted from those pins.

    menu_music_run.py <build folder> [<folder to keep the recording in> [--shots]]

With --shots, screenshots of the screens passed go into that folder as well
(they cost several seconds each on a loaded machine). Exits 0 when every check holds, 1 when one fails, 77 when a tool is missing.
"""
import array
import ctypes
import math
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
RATE = 44100
FRAME_BYTES = 4  # 16-bit stereo
MS = RATE // 1000

# Levels on the 16-bit scale (full scale 32767).
MUSIC_RMS_MIN = 300.0        # the menu tune stays well above this
SILENCE_RMS_MAX = 8.0        # music off: digital silence, allowing for dither
SILENCE_PEAK_MAX = 64
# A click is a bright 2 kHz tick; in that band the tune is quiet enough that
# the tick stands out even while the music plays.
CLICK_BAND_HZ = 2400.0
CLICK_OVER_MUSIC_MIN = 1.6   # click band peak against the loudest music before it
CLICK_OVER_MEDIAN_MIN = 8.0  # ... and against the music's usual level there
CLICK_SILENT_PEAK_MIN = 1000  # a click over silence, full scale 32767
CLICK_LENGTH_MAX_MS = 150    # the click wave lasts 50 ms; it must not drone on


class Failure(Exception):
    pass


def die_with_us():
    """Run in each child before it starts: it is killed when this script dies,
    even by a signal that skips the clean-up below."""
    try:
        ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG
    except (OSError, AttributeError):
        pass


def stopped_by_signal(signum, _frame):
    raise Failure("stopped by signal %d" % signum)


def log(msg=""):
    print(msg, flush=True)


class Run:
    """The virtual display, the game on it, and the recording it makes."""

    def __init__(self, build, keep, shots):
        self.build = build
        self.keep = keep
        self.take_shots = shots
        self.work = tempfile.mkdtemp(prefix="zephyrion-audio-")
        self.raw = os.path.join(self.work, "run.raw")
        self.xvfb = None
        self.game = None
        self.gamelog = None
        self.env = None
        self.shots = []
        self.t0 = time.monotonic()

    def start_display(self):
        # Xvfb picks a free display number itself and writes it to the pipe.
        rfd, wfd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(wfd), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=(wfd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=die_with_us)
        os.close(wfd)
        num = b""
        deadline = time.monotonic() + 20
        while not num.endswith(b"\n") and time.monotonic() < deadline:
            ready, _, _ = select.select([rfd], [], [], 0.5)
            if ready:
                chunk = os.read(rfd, 16)
                if not chunk:
                    break
                num += chunk
        os.close(rfd)
        if not num.strip():
            raise Failure("Xvfb did not start")
        self.env = dict(os.environ)
        self.env["DISPLAY"] = ":" + num.decode().strip()
        for _ in range(100):
            if self.x(["xdpyinfo"]) == 0:
                return
            time.sleep(0.1)
        raise Failure("Xvfb did not answer on " + self.env["DISPLAY"])

    def x(self, argv):
        return subprocess.call(argv, env=self.env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)

    def start_game(self):
        # Its own folder: the pictures and music linked in, "Config.cfg" made here.
        os.symlink(os.path.join(self.build, "Data"), os.path.join(self.work, "Data"))
        os.symlink(os.path.join(self.build, "sound"), os.path.join(self.work, "sound"))
        # The pointer rests on the middle of the window, away from every item.
        self.x(["xdotool", "mousemove", "512", "384"])
        env = dict(self.env)
        env["SDL_AUDIODRIVER"] = "disk"
        env["SDL_DISKAUDIOFILE"] = self.raw
        self.gamelog = open(os.path.join(self.work, "game.log"), "wb")
        self.game = subprocess.Popen([os.path.join(self.build, "zephyrion")], cwd=self.work,
                                     env=env, stdout=self.gamelog, stderr=subprocess.STDOUT,
                                     preexec_fn=die_with_us)
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            self.alive()
            if os.path.exists(self.raw) and self.x(["xdotool", "search", "--name", "Zephyrion"]) == 0:
                return
            time.sleep(0.1)
        raise Failure("the game's window or its recording did not appear")

    def alive(self):
        if self.game.poll() is not None:
            raise Failure("the game ended early with status %s" % self.game.returncode)

    def stop(self):
        for shot in self.shots:
            if shot.poll() is None:
                shot.kill()
                shot.wait()
        if self.game is not None and self.game.poll() is None:
            self.game.kill()
            self.game.wait()
        if self.gamelog is not None:
            self.gamelog.close()
        if self.xvfb is not None and self.xvfb.poll() is None:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(5)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
                self.xvfb.wait()

    def cleanup(self):
        self.stop()
        if self.keep:
            os.makedirs(self.keep, exist_ok=True)
            for name in ("run.raw", "game.log", "Config.cfg"):
                path = os.path.join(self.work, name)
                if os.path.exists(path):
                    shutil.copy(path, os.path.join(self.keep, name))
        shutil.rmtree(self.work, ignore_errors=True)

    # --- the recording's clock ---------------------------------------------
    def written(self):
        return os.path.getsize(self.raw) // FRAME_BYTES

    def mark(self, what):
        """Pins this moment to the recording; returns the frames written so far."""
        frames = self.written()
        log("  %-30s wall %6.2f s   recorded %6.2f s" % (what, time.monotonic() - self.t0,
                                                        frames / RATE))
        return frames

    def hold(self, seconds):
        """Lets `seconds` more of sound be recorded."""
        target = self.written() + int(seconds * RATE)
        deadline = time.monotonic() + 4 * seconds + 10
        while self.written() < target:
            self.alive()
            if time.monotonic() > deadline:
                raise Failure("the recording stalled at %.2f s" % (self.written() / RATE))
            time.sleep(0.05)

    # --- input ----------------------------------------------------------------
    def key(self, *keys, pin=None):
        """Types `keys`; with `pin`, returns the frames recorded just before."""
        self.settle()
        frames = self.mark(pin) if pin else None
        subprocess.check_call(["xdotool", "key", "--delay", "120"] + list(keys), env=self.env)
        return frames

    def click_at(self, x, y):
        """A left click at (x, y) of the 800 x 600 client area (centred on the screen)."""
        self.settle()
        subprocess.check_call(["xdotool", "mousemove", str(112 + x), str(84 + y)], env=self.env)
        time.sleep(0.3)
        subprocess.check_call(["xdotool", "click", "1"], env=self.env)

    def shot(self, name):
        """A screenshot beside the kept recording, to see what the game showed.
        It is taken while the recording goes on; the next input waits for it."""
        if self.keep and self.take_shots and shutil.which("import"):
            os.makedirs(self.keep, exist_ok=True)
            self.shots.append(subprocess.Popen(
                ["import", "-window", "root", os.path.join(self.keep, name + ".png")],
                env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))

    def settle(self):
        """Waits for the screenshots under way, so they show the screen before the input."""
        for shot in self.shots:
            try:
                shot.wait(30)
            except subprocess.TimeoutExpired:
                shot.kill()
                shot.wait()
        self.shots = []
        self.alive()


# --- measuring ----------------------------------------------------------------
def sox_levels(raw, first, last):
    """(RMS, peak) of frames [first, last) by sox, on the 16-bit scale."""
    if last <= first:
        raise Failure("an empty stretch %d..%d" % (first, last))
    endian = "-L" if sys.byteorder == "little" else "-B"
    out = subprocess.run(
        ["sox", "-t", "raw", "-r", str(RATE), "-e", "signed", "-b", "16", "-c", "2", endian, raw,
         "-n", "trim", "%ds" % first, "%ds" % (last - first), "stat"],
        stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=True).stderr.decode()
    values = {}
    for line in out.splitlines():
        if ":" in line:
            name, _, value = line.partition(":")
            try:
                values[name.strip()] = float(value.split()[0])
            except (ValueError, IndexError):
                pass
    try:
        return (values["RMS     amplitude"] * 32768,
                max(values["Maximum amplitude"], -values["Minimum amplitude"]) * 32768)
    except KeyError:
        raise Failure("sox gave no levels: " + out)


def load(path):
    samples = array.array("h")
    with open(path, "rb") as f:
        data = f.read()
    samples.frombytes(data[: len(data) // FRAME_BYTES * FRAME_BYTES])
    if sys.byteorder != "little":
        samples.byteswap()
    return samples


def band_envelope(samples, first, last, hz, step):
    """RMS per `step` frames of the mono mix band-passed around `hz` (two
    resonators in a row), for frames [first, last)."""
    w = 2 * math.pi * hz / RATE
    alpha = math.sin(w) / (2 * 2.0)
    a0 = 1 + alpha
    b0, b2 = alpha / a0, -alpha / a0
    a1, a2 = -2 * math.cos(w) / a0, (1 - alpha) / a0
    signal = [(samples[2 * i] + samples[2 * i + 1]) / 2 for i in range(first, last)]
    for _ in range(2):
        x1 = x2 = y1 = y2 = 0.0
        for i, v in enumerate(signal):
            y = b0 * v + b2 * x2 - a1 * y1 - a2 * y2
            x2, x1, y2, y1 = x1, v, y1, y
            signal[i] = y
    return [math.sqrt(sum(v * v for v in signal[a:a + step]) / step)
            for a in range(0, len(signal) - step + 1, step)]


def burst(samples, first, last, level):
    """Start and end frame of the sound above `level` in [first, last), or None."""
    loud = [i for i in range(first, last)
            if abs(samples[2 * i]) > level or abs(samples[2 * i + 1]) > level]
    return (loud[0], loud[-1]) if loud else None


# --- the run --------------------------------------------------------------------
def drive(run):
    """Plays the menus; returns the pins of the stretches to measure."""
    log("driving the game:")
    run.start_display()
    run.start_game()
    p = {}
    # A click anywhere ends the intro at once, without a sound; the second one
    # lands on the main menu away from its items and does nothing.
    run.hold(0.5)
    run.click_at(400, 300)
    run.hold(1.0)
    run.click_at(400, 300)
    run.hold(1.0)
    p["music_from"] = run.mark("menu music from")
    run.hold(2.0)
    p["music_to"] = run.mark("menu music to")

    p["down"] = run.key("Down", pin="Down pressed")
    run.hold(0.3)
    run.shot("1-main-menu-after-down")
    run.hold(0.7)

    # Options with the mouse; then the keys: up to its first row ("Display",
    # the list stops there), one down to "Music", Enter switches it off.
    run.mark("Options clicked")
    run.click_at(628, 394)
    run.hold(0.8)
    run.key("Up", "Up", "Up", "Up", "Up", "Up", "Down")
    run.hold(0.3)
    run.shot("2-options-music-row")
    run.hold(0.2)
    p["off"] = run.key("Return", pin="Enter on Music")
    run.hold(0.3)
    run.shot("3-options-music-off")
    run.hold(0.7)
    p["silence_from"] = run.mark("silence from")
    run.hold(2.0)
    p["silence_to"] = run.mark("silence to")

    # Esc: back to the main menu with a click, which now sounds alone.
    p["esc"] = run.key("Escape", pin="Esc to the main menu")
    run.hold(1.0)
    p["esc_end"] = run.key("Escape", pin="Esc to the exit dialog")
    run.hold(0.5)
    run.key("Left", "Return")
    deadline = time.monotonic() + 15
    while run.game.poll() is None and time.monotonic() < deadline:
        time.sleep(0.1)
    if run.game.poll() is None:
        raise Failure("the game did not end after \"Exit game?\" was answered Yes")
    p["status"] = run.game.returncode
    log("  game ended with status %d, wall %.2f s" % (p["status"], time.monotonic() - run.t0))
    return p


def check(run, p):
    samples = load(run.raw)
    total = len(samples) // 2
    log("recorded %.2f s" % (total / RATE))
    if total < p["esc_end"]:
        raise Failure("the recording is shorter than the run")

    music_rms, music_peak = sox_levels(run.raw, p["music_from"], p["music_to"])

    # The Down click: the loudest 10 ms of the click band in the second after
    # the press, against the music's two seconds before it.
    step = 10 * MS
    first = p["music_from"]
    env = band_envelope(samples, first, p["down"] + RATE, CLICK_BAND_HZ, step)
    split = (p["down"] - first) // step
    before, after = env[:split], env[split:]
    before_max = max(before)
    before_median = sorted(before)[len(before) // 2]
    click = max(after)
    click_at = (after.index(click) * step) / RATE

    silence_rms, silence_peak = sox_levels(run.raw, p["silence_from"], p["silence_to"])

    # The Esc click over silence: loud, and over within a few tens of ms.
    esc_window = (p["esc"], p["esc_end"])
    esc_rms, esc_peak = sox_levels(run.raw, *esc_window)
    esc_burst = burst(samples, esc_window[0], esc_window[1], SILENCE_PEAK_MAX)
    esc_length_ms = (esc_burst[1] - esc_burst[0]) / MS if esc_burst else 0.0

    log("levels (16-bit scale):")
    log("  menu music         RMS %7.1f  peak %6.0f   (RMS must be above %.0f)"
        % (music_rms, music_peak, MUSIC_RMS_MIN))
    log("  Down click         %.0f Hz band peak %6.1f  %.2f s after the press;"
        " music before: loudest %.1f, median %.1f  (ratios %.2f and %.1f, must be above %.1f and %.0f)"
        % (CLICK_BAND_HZ, click, click_at, before_max, before_median,
           click / max(before_max, 1.0), click / max(before_median, 1.0),
           CLICK_OVER_MUSIC_MIN, CLICK_OVER_MEDIAN_MIN))
    log("  after music off    RMS %7.1f  peak %6.0f   (must be below %.0f and %d)"
        % (silence_rms, silence_peak, SILENCE_RMS_MAX, SILENCE_PEAK_MAX))
    log("  Esc click alone    peak %6.0f, %.1f ms long   (peak above %d, at most %d ms)"
        % (esc_peak, esc_length_ms, CLICK_SILENT_PEAK_MIN, CLICK_LENGTH_MAX_MS))

    errors = []
    if p["status"] != 0:
        errors.append("the game ended with status %d" % p["status"])
    if music_rms <= MUSIC_RMS_MIN:
        errors.append("the menu music is missing or too quiet")
    if click <= CLICK_OVER_MUSIC_MIN * before_max or click <= CLICK_OVER_MEDIAN_MIN * before_median:
        errors.append("no click stands out after the menu move")
    if silence_rms >= SILENCE_RMS_MAX or silence_peak >= SILENCE_PEAK_MAX:
        errors.append("sound goes on after the music was switched off")
    if esc_peak <= CLICK_SILENT_PEAK_MIN:
        errors.append("no click when the options screen was left")
    elif esc_length_ms > CLICK_LENGTH_MAX_MS:
        errors.append("the sound after Esc is not a short click")
    cfg = os.path.join(run.work, "Config.cfg")
    if not os.path.exists(cfg):
        errors.append("\"Config.cfg\" was not written in the game's folder")
    else:
        with open(cfg, "rb") as f:
            head = f.read(3)
        if len(head) < 3 or head[1] != 0 or head[2] != 1:
            errors.append("\"Config.cfg\" does not hold music off, sound on: %r" % head)
    if errors:
        raise Failure("; ".join(errors))
    log("PASS")


def main():
    args = [a for a in sys.argv[1:] if a != "--shots"]
    if not args:
        log("usage: menu_music_run.py <build folder> [<folder to keep the recording in> [--shots]]")
        return 2
    build = os.path.abspath(args[0])
    keep = os.path.abspath(args[1]) if len(args) > 1 else None
    for tool in ("Xvfb", "xdotool", "xdpyinfo", "sox"):
        if shutil.which(tool) is None:
            log("SKIP: %s is not installed" % tool)
            return SKIP
    for signum in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(signum, stopped_by_signal)
    run = Run(build, keep, "--shots" in sys.argv)
    try:
        pins = drive(run)
        check(run, pins)
        return 0
    except (Failure, subprocess.CalledProcessError) as e:
        log("FAIL: %s" % e)
        run.stop()
        try:
            with open(os.path.join(run.work, "game.log"), "rb") as f:
                sys.stdout.write(f.read().decode(errors="replace")[-2000:])
        except OSError:
            pass
        return 1
    finally:
        run.cleanup()


if __name__ == "__main__":
    sys.exit(main())
