#!/usr/bin/python3
"""Measures the real game under a private X display: time from launch to the
first picture on the screen, frames presented per second and processor use
of the whole process during some seconds in the main menu and some seconds of
play, each in the window and full screen, the peak resident memory, and the
present path the game chose (with whether any OpenGL library is mapped in
it). Frames are counted by the present-counter library (LD_PRELOAD), so the
game itself is not changed. When Chocolate Doom and Freedoom are installed,
the same figures of its title demo in an 800 x 600 window follow, from the
same X server, as a yardstick.

    measure_game.py <build folder> <present-counter .so> [seconds per scene] [screen WxH]

Prints "key value" lines for tools/perf-figures.sh.
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

CLK_TCK = os.sysconf("SC_CLK_TCK")


def fail(msg):
    print("measure_game: " + msg, file=sys.stderr)
    sys.exit(1)


def read_counter(path):
    figures = {}
    try:
        with open(path) as f:
            for line in f:
                key, _, value = line.partition(" ")
                figures[key] = int(value)
    except (OSError, ValueError):
        return None
    return figures


def cpu_ticks(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    # utime and stime are fields 14 and 15 of the line; 3rd and later here.
    return int(fields[11]) + int(fields[12])


def status_kb(pid, key):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return -1


def xdotool(env, *args):
    subprocess.run(["xdotool"] + list(args), env=env, check=False,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


GL_LIBRARIES = ("libGL", "libGLX", "libEGL", "libLLVM", "swrast_dri", "libgallium", "_dri.so")


def opengl_mapped(pid):
    """The OpenGL libraries mapped in the process, by file name."""
    found = set()
    with open("/proc/%d/maps" % pid) as f:
        for line in f:
            name = os.path.basename(line.split()[-1]) if len(line.split()) >= 6 else ""
            if any(lib in name for lib in GL_LIBRARIES):
                found.add(name)
    return sorted(found)


def wait_pictures(counter, more, limit=30.0):
    """Waits until `more` further pictures were shown (after a switch)."""
    start = read_counter(counter) or {}
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        c = read_counter(counter) or {}
        if c.get("pictures", 0) >= start.get("pictures", 0) + more:
            return
        time.sleep(0.05)


def measure(name, pid, counter, xvfb_pid, scene):
    # Figures between two rewrites of the counter file: exact frame count
    # over the time between those two presents.
    a = read_counter(counter)
    ta = time.monotonic()
    ca, xa = cpu_ticks(pid), cpu_ticks(xvfb_pid)
    time.sleep(scene)
    b = read_counter(counter)
    tb = time.monotonic()
    cb, xb = cpu_ticks(pid), cpu_ticks(xvfb_pid)
    frames = b["pictures"] - a["pictures"]
    span = (b["last_picture_ns"] - a["last_picture_ns"]) / 1e9
    fps = frames / span if span > 0 else 0.0
    cpu = (cb - ca) / CLK_TCK
    print("%s_fps %.1f" % (name, fps))
    print("%s_cpu_percent %.1f" % (name, 100.0 * cpu / (tb - ta)))
    # Processor time per frame hardly depends on how busy the machine is.
    print("%s_cpu_ms_per_frame %.2f" % (name, 1000.0 * cpu / (fps * (tb - ta)) if fps > 0 else 0.0))
    print("%s_xvfb_cpu_percent %.1f" % (name, 100.0 * (xb - xa) / CLK_TCK / (tb - ta)))
    print("%s_seconds %.1f" % (name, tb - ta))


def chocolate_doom(env, shim, scene, run, xvfb_pid):
    """Chocolate Doom's title demo in an 800 x 600 window, when installed."""
    exe = shutil.which("chocolate-doom") or "/usr/games/chocolate-doom"
    wads = [w for w in ("/usr/share/games/doom/freedoom2.wad", "/usr/share/games/doom/freedoom1.wad")
            if os.path.exists(w)]
    if not os.path.exists(exe) or not wads:
        return
    home = os.path.join(run, "doom-home")
    os.makedirs(home, exist_ok=True)
    counter = os.path.join(run, "doom-presents.txt")
    denv = dict(env, HOME=home, LD_PRELOAD=shim, ZEPHYRION_PRESENT_COUNTER_FILE=counter,
                SDL_AUDIODRIVER="dummy")
    doom = subprocess.Popen([exe, "-iwad", wads[0], "-window", "-geometry", "800x600", "-nosound",
                             "-nomusic", "-nograbmouse"], cwd=home, env=denv,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline and doom.poll() is None:
            c = read_counter(counter)
            if c and c.get("pictures", 0) > 70:
                break
            time.sleep(0.1)
        if doom.poll() is not None or not read_counter(counter):
            return
        measure("doom", doom.pid, counter, xvfb_pid, scene)
        print("doom_peak_rss_kb %d" % status_kb(doom.pid, "VmHWM"))
    finally:
        if doom.poll() is None:
            doom.kill()
            doom.wait()


def main():
    if len(sys.argv) < 3:
        fail("usage: measure_game.py <build folder> <present-counter .so> [seconds per scene] [screen WxH]")
    build = os.path.abspath(sys.argv[1])
    shim = os.path.abspath(sys.argv[2])
    scene = float(sys.argv[3]) if len(sys.argv) > 3 else 20.0
    screen = sys.argv[4] if len(sys.argv) > 4 else "1280x1024"
    for tool in ("Xvfb", "xdotool", "xdpyinfo"):
        if not shutil.which(tool):
            fail(tool + " is not installed")

    run = tempfile.mkdtemp(prefix="zephyrion-perf-")
    xvfb = game = None
    try:
        # Xvfb picks a free display number and writes it to the pipe.
        rfd, wfd = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(wfd), "-screen", "0", screen + "x24",
                                 "-nolisten", "tcp"], pass_fds=(wfd,),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(wfd)
        with os.fdopen(rfd) as r:
            number = r.readline().strip()
        if not number:
            fail("Xvfb did not start")
        env = dict(os.environ, DISPLAY=":" + number)
        for _ in range(100):
            if subprocess.run(["xdpyinfo"], env=env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode == 0:
                break
            time.sleep(0.1)

        os.symlink(os.path.join(build, "Data"), os.path.join(run, "Data"))
        os.symlink(os.path.join(build, "sound"), os.path.join(run, "sound"))
        counter = os.path.join(run, "presents.txt")
        genv = dict(env, LD_PRELOAD=shim, ZEPHYRION_PRESENT_COUNTER_FILE=counter,
                    SDL_AUDIODRIVER="dummy")
        xdotool(env, "mousemove", "0", "0")  # the pointer stays off the window

        launched = time.monotonic_ns()
        game = subprocess.Popen([os.path.join(build, "zephyrion")], cwd=run, env=genv,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        first = None
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline:
            if game.poll() is not None:
                fail("the game ended at start (status %d)" % game.returncode)
            c = read_counter(counter)
            if c and c.get("first_picture_ns", -1) > 0:
                first = c
                break
            time.sleep(0.005)
        if not first:
            fail("no picture within 60 s (is the present counter loaded?)")
        print("start_to_first_picture_ms %.1f" % ((first["first_picture_ns"] - launched) / 1e6))
        print("load_to_first_picture_ms %.1f" % ((first["first_picture_ns"] - first["loaded_ns"]) / 1e6))
        print("start_to_first_present_ms %.1f" % ((first["first_present_ns"] - launched) / 1e6))

        # The intro is 85 drawn frames; then the main menu rests.
        time.sleep(3)
        measure("menu", game.pid, counter, xvfb.pid, scene)
        c = read_counter(counter) or {}
        print("path %s" % ("window-surface" if c.get("surface_pictures", 0) > c.get("renderer_pictures", 0)
                           else "renderer"))
        print("opengl_libraries %s" % (",".join(opengl_mapped(game.pid)) or "none"))

        # Full screen (Alt+Enter), the menu again.
        xdotool(env, "key", "alt+Return")
        wait_pictures(counter, 64)
        measure("full_menu", game.pid, counter, xvfb.pid, scene)

        # A new game: the stage title, then play with the gun firing and the
        # warship sweeping from side to side; full screen first, then back in
        # the window.
        xdotool(env, "key", "Return")
        time.sleep(2.5)
        xdotool(env, "keydown", "ctrl")
        sweeper = subprocess.Popen(
            ["sh", "-c", "while :; do xdotool keydown Left; sleep 1; xdotool keyup Left; "
             "xdotool keydown Right; sleep 1; xdotool keyup Right; done"],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        try:
            measure("full_play", game.pid, counter, xvfb.pid, scene)
            xdotool(env, "keyup", "ctrl")
            xdotool(env, "key", "alt+Return")
            wait_pictures(counter, 64)
            xdotool(env, "keydown", "ctrl")
            measure("play", game.pid, counter, xvfb.pid, scene)
        finally:
            os.killpg(sweeper.pid, signal.SIGTERM)
            sweeper.wait()
            xdotool(env, "keyup", "ctrl", "Left", "Right")
        print("peak_rss_kb %d" % status_kb(game.pid, "VmHWM"))
        game.kill()
        game.wait()
        chocolate_doom(env, shim, scene, run, xvfb.pid)
    finally:
        if game and game.poll() is None:
            game.kill()
            game.wait()
        if xvfb and xvfb.poll() is None:
            xvfb.terminate()
            xvfb.wait()
        shutil.rmtree(run, ignore_errors=True)


if __name__ == "__main__":
    main()
