#!/usr/bin/python3
"""Benchmarks of the whole program under Wine (not tests): start-up to the first
frame against a minimal OpenGL program (launched in turns, medians), CPU over
30 s of animation against a floor program that animates the same background
at the same pace through the same view control, and working set and GDI/USER
objects after a long run with many drags against their values after the
first minute. The last line, "RESULTS {...}", holds the figures as JSON.

Usage: program_bench.py BUILD_DIR [soak minutes (default 10)] [drags (default 1000)] [start-up runs (default 11)]
"""
import ctypes
import ctypes.util
import json
import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
sys.argv = [sys.argv[0], sys.argv[1], "bench"] + sys.argv[2:]
import e2e  # noqa: E402

FLOOR = os.path.join(e2e.BUILD, "bin", "gl_floor.exe")
CPU_FLOOR = os.path.join(e2e.BUILD, "bin", "cpu_floor.exe")
SOAK_MINUTES = float(sys.argv[3]) if len(sys.argv) > 3 else 10
DRAGS = int(sys.argv[4]) if len(sys.argv) > 4 else 1000
RUNS = max(1, int(sys.argv[5])) if len(sys.argv) > 5 else 11
CPU_SECONDS = 30


class XImageHead(ctypes.Structure):
    """The leading fields of Xlib's XImage."""
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p)]


class Screen:
    """Reads single pixels of the X screen through libX11 itself: a read takes
    well under a millisecond, so polling adds no delay of its own to the
    start-up figures (a screenshot tool per read took tens of milliseconds)."""

    def __init__(self):
        self.x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x11.XGetImage.restype = ctypes.c_void_p
        self.x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                       ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.x11.XGetPixel.restype = ctypes.c_ulong
        self.x11.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
        self.x11.XFree.argtypes = [ctypes.c_void_p]
        self.display = self.x11.XOpenDisplay(e2e.display().encode())
        if not self.display:
            raise RuntimeError("cannot open the X display")
        self.root = self.x11.XDefaultRootWindow(self.display)

    def pixel(self, x, y):
        image = self.x11.XGetImage(self.display, self.root, x, y, 1, 1, 0xFFFFFFFF, 2)  # ZPixmap
        if not image:
            return None
        value = self.x11.XGetPixel(image, 0, 0)
        # What XDestroyImage (a macro) does for an image XGetImage made.
        self.x11.XFree(ctypes.cast(image, ctypes.POINTER(XImageHead)).contents.data)
        self.x11.XFree(image)
        return ((value >> 16) & 255, (value >> 8) & 255, value & 255)


def time_to_frame(screen, program, x, y, shown):
    """Seconds from the launch until the pixel at (x, y) satisfies shown()."""
    desktop = screen.pixel(x, y)
    began = time.time()
    process = subprocess.Popen([e2e.WINE, program], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    while time.time() - began < 30:
        value = screen.pixel(x, y)
        if value and value != desktop and shown(value):
            elapsed = time.time() - began
            break
        time.sleep(0.005)
    else:
        elapsed = float("nan")
    subprocess.run([e2e.WINE, e2e.PROBE, "close"], capture_output=True)
    if program == FLOOR:
        subprocess.run(["xdotool", "key", "alt+F4"], env=e2e.x_env())
    try:
        process.wait(15)
    except subprocess.TimeoutExpired:
        process.kill()
    time.sleep(0.5)
    return elapsed


def unix_cpu_seconds(name):
    """CPU seconds of the processes named so: all their threads, and those of
    the software renderer's rasterizer threads alone."""
    total = renderer = 0.0
    tick = os.sysconf("SC_CLK_TCK")
    for pid in subprocess.run(["pgrep", "-f", name], capture_output=True, text=True).stdout.split():
        try:
            tasks = os.listdir("/proc/%s/task" % pid)
        except OSError:
            continue
        for task in tasks:
            try:
                with open("/proc/%s/task/%s/stat" % (pid, task)) as f:
                    head, fields = f.read().rsplit(")", 1)
                seconds = (int(fields.split()[11]) + int(fields.split()[12])) / tick
            except (OSError, ValueError, IndexError):
                continue
            total += seconds
            if head.split("(", 1)[-1].startswith("llvmpipe"):
                renderer += seconds
    return total, renderer


def usage():
    info = e2e.probe("usage")
    values = {k: int(info[k]) for k in ("gdi", "user", "workingset") if k in info}
    # GetGuiResources reports 0 under Wine: count inside the program instead.
    counted = e2e.probe("objects", os.path.join(e2e.BUILD, "bin", "gdi_count.dll"))
    for key in ("gdi", "user"):
        if values.get(key, 0) == 0 and key in counted:
            values[key] = int(counted[key])
    return values


def cpu_percent(name):
    """Percent of one core that the processes named so use over CPU_SECONDS,
    in all and in the renderer's rasterizer threads."""
    (total0, renderer0), wall0 = unix_cpu_seconds(name), time.time()
    time.sleep(CPU_SECONDS)
    (total1, renderer1), wall = unix_cpu_seconds(name), time.time() - wall0
    return 100 * (total1 - total0) / wall, 100 * (renderer1 - renderer0) / wall


def main():
    e2e.no_program_running()
    results = {}
    # Start-up: the view's centre pixel of the program (any frame colour) against
    # the floor's magenta clear, launched in turns so a busy machine slows both alike.
    view_centre = (183 + 10 + 256, 157 + 10 + 256)
    program_times, floor_times = [], []
    screen = Screen()
    for _ in range(RUNS):
        program_times.append(time_to_frame(screen, e2e.PROGRAM, *view_centre, lambda v: True))
        floor_times.append(time_to_frame(screen, FLOOR, *view_centre, lambda v: v[0] > 200 and v[1] < 60 and v[2] > 200))
    p, f = statistics.median(program_times), statistics.median(floor_times)
    print("start-up to first frame over %d runs each: program median %.2f s (min %.2f), floor median %.2f s (min %.2f), "
          "ratio %.2f" % (RUNS, p, min(program_times), f, min(floor_times), p / f))
    results["startup"] = {"runs": RUNS, "program": p, "floor": f}

    # The floor program's CPU first: it ends by itself.
    floor_process = subprocess.Popen([e2e.WINE, CPU_FLOOR, str(CPU_SECONDS + 8)], stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(3)
    floor_cpu, floor_renderer = cpu_percent("cpu_floor.exe")
    try:
        floor_process.wait(30)
    except subprocess.TimeoutExpired:
        floor_process.kill()

    process = e2e.start()
    try:
        info = e2e.wait_window()
        time.sleep(3)
        wall0 = time.time()
        program_cpu, program_renderer = cpu_percent("orvane_demo.exe")
        # Counted from the Unix threads: Wine's process times of another
        # process are not kept (they read 0).
        print("CPU over %d s of animation: program %.1f%% of one core, floor program %.1f%%, ratio %.2f; "
              "the renderer's rasterizer threads %.1f%% vs %.1f%%"
              % (CPU_SECONDS, program_cpu, floor_cpu, program_cpu / floor_cpu if floor_cpu else float("nan"),
                 program_renderer, floor_renderer))
        results["cpu"] = {"program": program_cpu, "floor": floor_cpu, "program_renderer": program_renderer,
                          "floor_renderer": floor_renderer}

        time.sleep(max(0, 60 - (time.time() - wall0)))
        first_minute = usage()
        print("after the first minute:", first_minute)
        vx, vy, vw, vh = e2e.view_rect(info)
        centre = (vx + vw // 2, vy + vh // 2)
        end = time.time() + SOAK_MINUTES * 60 - 60
        drags = 0
        while drags < DRAGS:
            button = 1 if drags % 2 == 0 else 3
            dx = 40 if (drags // 2) % 2 == 0 else -40
            e2e.xdo("mousemove", *centre, "mousedown", button, "mousemove", centre[0] + dx // 2, centre[1],
                    "mousemove", centre[0] + dx, centre[1] + dx // 4, "mouseup", button)
            drags += 1
        while time.time() < end:
            time.sleep(5)
        last = usage()
        print("after %.0f minutes and %d drags:" % (SOAK_MINUTES, drags), last)
        for key in ("gdi", "user"):
            print("  %s objects: %d -> %d" % (key, first_minute[key], last[key]))
        print("  working set: %.1f MB -> %.1f MB" % (first_minute["workingset"] / 2**20, last["workingset"] / 2**20))
        results["soak"] = {"minutes": SOAK_MINUTES, "drags": drags, "first": first_minute, "last": last}
    finally:
        e2e.stop(process)
    print("RESULTS " + json.dumps(results))


if __name__ == "__main__":
    main()
