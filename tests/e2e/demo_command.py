#!/usr/bin/python3
"""The demo command as a newcomer runs it: headless, from a Wine prefix that
does not exist yet, then once more with the prefix in place. Each run exits 0,
prints the screenshot's path and nothing else, the screenshot shows the
demo (the skinned red caption and a drawn view), and no process of its Wine
prefix or display is left afterwards.

Usage: demo_command.py BUILD_DIR SOURCE_DIR
"""
import os
import shutil
import subprocess
import sys
import time

from PIL import Image

BUILD, SOURCE = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
HOME = os.path.join(BUILD, "e2e", "demo-command")


def check(condition, message):
    if not condition:
        print("FAILED:", message)
        sys.exit(1)
    print("ok:", message)


def caption_red(pixel):
    """The skin's dark red caption band, which no Wine dialog shows."""
    r, g, b = pixel
    return r > 90 and r > 3 * g and r > 3 * b


def run_demo(label):
    shot = os.path.join(HOME, "shot-%s.png" % label)
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    env.update(HARNESS_HOME=HOME, DEMO_SCREENSHOT=shot)
    began = time.time()
    result = subprocess.run([os.path.join(SOURCE, "scripts", "demo.sh"), "--no-build"], env=env,
                            stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=200)
    print("%s run: %.1f s" % (label, time.time() - began))
    check(result.returncode == 0, "%s run exits 0 (got %d; %s)" % (label, result.returncode, result.stderr.strip()))
    check(result.stdout == shot + "\n" and result.stderr == "",
          "%s run prints the screenshot's path and nothing else: %r %r" % (label, result.stdout, result.stderr))
    image = Image.open(shot).convert("RGB")
    w, h = image.size
    caption = sum(1 for p in image.crop((0, 0, w, h // 3)).getdata() if caption_red(p))
    check(caption > 5000, "%s screenshot shows the skinned red caption (%d pixels)" % (label, caption))
    colours = len(set(image.getdata()))
    check(colours > 2000, "%s screenshot shows a drawn view (%d colours)" % (label, colours))
    left = subprocess.run([os.path.join(SOURCE, "scripts", "leftovers.sh"), HOME], capture_output=True, text=True)
    check(left.returncode == 0, "%s run leaves no Wine or Xvfb process behind: %s" % (label, left.stdout.strip()))


def main():
    shutil.rmtree(HOME, ignore_errors=True)
    os.makedirs(HOME)
    try:
        run_demo("first")
        run_demo("second")
    finally:
        subprocess.run([os.path.join(BUILD, "harness", "harness-stop.sh")], env=dict(os.environ, HARNESS_HOME=HOME))
    shutil.rmtree(os.path.join(HOME, "prefix"), ignore_errors=True)


if __name__ == "__main__":
    main()
