#!/usr/bin/python3
"""Waits, at most a minute, until the demo's main window is shown and its view
has drawn a frame, then saves a screenshot of the screen a moment later.
Says in one line what never happened and exits 1 when the wait runs out.

Usage: first_frame.py BUILD_DIR SCREENSHOT   (HARNESS_HOME as for the harness)
"""
import os
import subprocess
import sys
import tempfile
import time

from PIL import Image

BUILD, SHOT = sys.argv[1], sys.argv[2]
HOME = os.environ.get("HARNESS_HOME") or os.path.join(BUILD, "harness")
WINE = os.path.join(BUILD, "harness", "wine-run.sh")
PROBE = os.path.join(BUILD, "bin", "probe.exe")
VIEW_ID = -1
WAIT_SECONDS = 60


def window():
    """The main window's client rectangle and its view's, when it is shown."""
    out = subprocess.run([WINE, PROBE, "window"], capture_output=True, text=True, timeout=30).stdout
    client, view, shown = None, None, False
    for line in out.splitlines():
        key, _, value = line.partition(" ")
        if key == "visible":
            shown = value == "1"
        elif key == "client":
            client = [int(v) for v in value.split()]
        elif key == "child" and int(value.split()[1]) == VIEW_ID:
            view = [int(v) for v in value.split()[3:7]]
    if not (shown and client and view):
        return None
    return (client[0] + view[0], client[1] + view[1], view[2], view[3])


def screen(path):
    with open(os.path.join(HOME, "display")) as f:
        env = dict(os.environ, DISPLAY=f.read().strip())
    subprocess.run(["import", "-window", "root", path], check=True, env=env,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return Image.open(path).convert("RGB")


def drawn(image, rect):
    """A drawn frame shows the background picture and the model: hundreds of
    colours, where an undrawn view is one flat colour."""
    x, y, w, h = rect
    return len(set(image.crop((x, y, x + w, y + h)).getdata())) > 200


def main():
    end = time.time() + WAIT_SECONDS
    rect, trouble = None, ""
    with tempfile.TemporaryDirectory() as scratch:
        probe_shot = os.path.join(scratch, "probe.png")
        while time.time() < end:
            # A look that fails (Wine or the display still starting) is tried
            # again until the wait runs out.
            try:
                rect = rect or window()
                if rect and drawn(screen(probe_shot), rect):
                    time.sleep(1.0)
                    os.makedirs(os.path.dirname(os.path.abspath(SHOT)), exist_ok=True)
                    screen(SHOT)
                    return 0
            except (OSError, ValueError, subprocess.SubprocessError) as error:
                trouble = " (last look: %s)" % error
            time.sleep(0.5)
    what = "drew no frame" if rect else "never showed its window"
    print("demo: the program %s within %d seconds%s" % (what, WAIT_SECONDS, trouble), file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
