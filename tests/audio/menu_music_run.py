#!/usr/bin/env python3
"""Listens to the real program in its menus: the menu music plays, a menu move
clicks, and switching the music off on the options screen leaves the menus
silent but for the clicks.

The game runs on a private virtual X display (so xdotool can type into its
window) with SDL's disk audio driver, which writes the mixed output (signed
16-bit stereo, 44100 Hz) to a file at about the pace of a sound card. On a busy
machine that pace drifts from the wall clock, so every key press is pinned to
the number of frames written at that moment, and the stretches measured are
counted from those pins. Each step waits for the screen it leads to.

    menu_music_run.py <build folder> [<folder to keep the recording in>]

Exits 0 when every check holds, 1 when one fails, 77 when a tool is missing.
"""
import array
import math
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "realrun"))
from realrun import Display, Failure, Game, Recording, log, main, main_menu, require  # noqa: E402

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
def options(g, s):
    return g.shows(s, "SheetTitleBanner", 388, 0, region=(0, 0, 30, 80)) and \
        g.shows(s, "SheetOptionOnOff", 327, 352, region=(0, 0, 14, 24))


def exit_dialog(g, s):
    return g.shows(s, "SheetDialogPanel", 190, 200, region=(0, 0, 60, 30))


class Run:
    """The game on its display, and the recording it makes."""

    def __init__(self, display, game, rec):
        self.display, self.game, self.rec = display, game, rec
        self.raw = rec.path
        self.work = game.folder

    def mark(self, what):
        """Pins this moment to the recording; returns the frames written so far."""
        frames = self.rec.written()
        log("  %-30s recorded %6.2f s" % (what, frames / RATE))
        return frames

    def hold(self, seconds):
        """Lets `seconds` more of sound be recorded."""
        self.rec.hold(seconds, alive=self.game.alive)

    def see(self, name, screen):
        shot = self.game.wait_picture("the screen \"%s\"" % name, lambda s: screen(self.game, s))
        self.game.save(name, shot)
        return shot

    def see_change(self, name, before):
        shot = self.game.wait_changed("the screen \"%s\"" % name, before)
        self.game.save(name, shot)
        return shot


def drive(run):
    """Plays the menus; returns the pins of the stretches to measure."""
    log("driving the game:")
    game = run.game
    p = {}
    # A click anywhere ends the intro at once, without a sound.
    run.hold(0.5)
    game.click(400, 300)
    run.see("main-menu", main_menu)
    # The pointer rests away from every item; the title slides in.
    game.move_to(400, 300)
    menu = game.wait_still("the main menu at rest")
    p["music_from"] = run.mark("menu music from")
    run.hold(2.0)
    p["music_to"] = run.mark("menu music to")

    p["down"] = run.mark("Down pressed")
    game.key("Down")
    run.see_change("main-menu-after-down", menu)
    run.hold(1.0)

    # Options with the mouse; then the keys: up to its first row ("Display",
    # the list stops there), one down to "Music", Enter switches it off.
    run.mark("Options clicked")
    game.click(628, 394)
    shot = run.see("options", options)
    game.move_to(400, 160)  # off the items: the keys choose
    game.key("Up", "Up", "Up", "Up", "Up", "Up", "Down", delay=120)
    shot = run.see_change("options-music-row", shot)
    p["off"] = run.mark("Enter on Music")
    game.key("Return")
    run.see_change("options-music-off", shot)
    run.hold(1.0)
    p["silence_from"] = run.mark("silence from")
    run.hold(2.0)
    p["silence_to"] = run.mark("silence to")

    # Esc: back to the main menu with a click, which now sounds alone.
    p["esc"] = run.mark("Esc to the main menu")
    game.key("Escape")
    run.see("main-menu-again", main_menu)
    run.hold(1.0)
    p["esc_end"] = run.mark("Esc to the exit dialog")
    game.key("Escape")
    run.see("exit-dialog", exit_dialog)
    game.key("Left", "Return")
    p["status"] = game.wait_end("the game to end after \"Exit game?\" was answered Yes")
    log("  game ended with status %d" % p["status"])
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
    cfg = run.game.path("Config.cfg")
    if not os.path.exists(cfg):
        errors.append("\"Config.cfg\" was not written in the game's folder")
    else:
        with open(cfg, "rb") as f:
            head = f.read(3)
        if len(head) < 3 or head[1] != 0 or head[2] != 1:
            errors.append("\"Config.cfg\" does not hold music off, sound on: %r" % head)
    if errors:
        raise Failure("; ".join(errors))



def run_all(build, keep):
    require("sox")
    work = tempfile.mkdtemp(prefix="zephyrion-audio-")
    raw = os.path.join(work, "run.raw")
    art = keep or os.path.join(work, "artifacts")
    with Display(1024, 768) as display:
        display.xdotool("mousemove", 512, 384)
        game = Game(display, build, art, audio_file=raw)
        run = Run(display, game, Recording(raw))
        try:
            game.start()
            pins = drive(run)
            check(run, pins)
        finally:
            game.stop()
            if keep and os.path.exists(raw):
                shutil.copy(raw, os.path.join(keep, "run.raw"))
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    args = sys.argv[1:]
    if not args:
        log("usage: menu_music_run.py <build folder> [<folder to keep the recording in>]")
        sys.exit(2)
    build = os.path.abspath(args[0])
    keep = os.path.abspath(args[1]) if len(args) > 1 else None
    sys.exit(main(lambda: run_all(build, keep)))
