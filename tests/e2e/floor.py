#!/usr/bin/python3
"""The whole program on the OpenGL 1.1 floor (the system's software renderer,
as Mesa emulates it), with a background of 1000 x 600 and a skin of
500 x 300, which that renderer cannot take as they are: the scene shows as
on the normal renderer, the model textured, and the renderer is named on the
debug output.

Usage: floor.py BUILD_DIR
"""
import os
import shutil
import subprocess
import sys
import time

from PIL import Image, ImageChops

import e2e
from e2e import Failure, check

FLOOR = {"GL_FLOOR": "1"}   # the harness emulates the floor with Mesa


def odd_sized_copy():
    """The program with its background and skin resampled to sizes that are
    not powers of two."""
    folder = os.path.join(e2e.OUT, "variant-odd-sizes")
    shutil.rmtree(folder, ignore_errors=True)
    shutil.copytree(e2e.PROGRAM_DIR, folder)
    resource = os.path.join(folder, "Resource")
    for name, size in (("Background.jpg", (1000, 600)), ("Sydney.png", (500, 300))):
        path = os.path.join(resource, name)
        Image.open(path).convert("RGB").resize(size, Image.LANCZOS).save(path, **({"quality": 95} if
                                                                                  name.endswith(".jpg") else {}))
    return folder


def run(folder, tag, floor):
    """Runs the program; returns two pictures of its view a second apart and
    the debug-output lines."""
    env = dict(os.environ, WINEDEBUG="-all,+debugstr", **(FLOOR if floor else {}))
    log_path = os.path.join(e2e.OUT, tag + ".log")
    with open(log_path, "wb") as log:
        process = subprocess.Popen([e2e.WINE, os.path.join(folder, "orvane_demo.exe")], stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=log, env=env)
        try:
            info = e2e.wait_window()
            time.sleep(2.0)
            check(process.poll() is None, tag + ": the program runs")
            rect = e2e.view_rect(info)
            view = [e2e.crop(e2e.screenshot(tag + "-1"), rect)]
            time.sleep(1.0)
            view.append(e2e.crop(e2e.screenshot(tag + "-2"), rect))
            check(e2e.close_and_wait(process) == 0, tag + ": closes with exit code 0")
        finally:
            e2e.stop(process)
    with open(log_path, encoding="utf-8", errors="replace") as f:
        lines = [line for line in f.read().splitlines() if "OutputDebugString" in line]
    return view, lines


def model_colours(views):
    """The colours of the pixels the animation changed (the model), in the
    later picture: their mean and how many 32-level colours they take."""
    a, b = views
    changed = ImageChops.difference(a, b).convert("L").point(lambda v: 255 if v > 40 else 0)
    changed.paste(0, (0, 0, 190, 52))   # the overlay's frame number
    pixels = [p for p, m in zip(b.getdata(), changed.getdata()) if m]
    if not pixels:
        return (0, 0, 0), 0
    mean = tuple(sum(p[i] for p in pixels) / len(pixels) for i in range(3))
    return mean, len({(r >> 5, g >> 5, bl >> 5) for r, g, bl in pixels})


def case_floor():
    folder = odd_sized_copy()
    normal, normal_lines = run(folder, "floor-normal", floor=False)
    floor, floor_lines = run(folder, "floor-emulated", floor=True)
    for lines, version in ((normal_lines, "OpenGL 4."), (floor_lines, "OpenGL 1.1")):
        renderer = [line for line in lines if "orvane: renderer: " in line]
        check(len(renderer) == 1 and version in renderer[0], "each run names its renderer once: %s" % renderer)
    check(not [line for line in floor_lines + normal_lines if "refused" in line],
          "no picture and no texture is refused on either renderer")
    w, h = normal[0].size
    # The background: the right-hand edge strip and the bottom corners, away
    # from the overlay and the animated model, match between the two runs.
    for name, box in (("right strip", (w - 60, 60, w, h - 60)), ("bottom left", (0, h - 60, 80, h)),
                      ("bottom right", (w - 80, h - 60, w, h))):
        diff = ImageChops.difference(normal[1].crop(box), floor[1].crop(box)).convert("L")
        average = sum(diff.getdata()) / (diff.size[0] * diff.size[1])
        check(average < 6, "%s of the background as on the normal renderer (mean difference %.1f)" % (name, average))
    upright, _ = e2e.background_correlation(floor[1])
    check(upright > 0.8, "the background is drawn upright on the floor (%.2f)" % upright)
    # The model, textured: the pixels it moves over take the skin's many
    # colours on both renderers (50 or so here; an untextured model, lit and
    # shaded, gives under 20).
    (mean_n, count_n), (mean_f, count_f) = model_colours(normal), model_colours(floor)
    check(count_f >= 30 and count_f > count_n * 0.7,
          "the model is textured on the floor (%d colours, %d on the normal renderer)" % (count_f, count_n))
    check(all(abs(a - b) < 15 for a, b in zip(mean_n, mean_f)),
          "the model's colours as on the normal renderer (mean %s, normal %s)" %
          (tuple(round(v) for v in mean_f), tuple(round(v) for v in mean_n)))

if __name__ == "__main__":
    try:
        e2e.no_program_running()
        case_floor()
    except Failure as failure:
        print("FAILED:", failure)
        sys.exit(1)
