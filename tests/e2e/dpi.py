#!/usr/bin/python3
"""The whole program at 96, 144 and 192 DPI under Wine: the window, its frame
and every child are s = DPI / 96 times the 96-DPI layout, the overlay's and the
label's text s times as tall on the screen, nothing cut or overlapping.

Wine reads HKCU\\Control Panel\\Desktop LogPixels when a process starts, so
each scale runs in a prefix and X display of this test's own (a desktop large
enough for the window at 2x), with the prefix's processes ended in between.

Usage: dpi.py BUILD_DIR
"""
import os
import subprocess
import sys
import time

import e2e
from e2e import Failure, check, numbers

SCREEN = "1600x1300"
H = os.path.join(e2e.BUILD, "harness-dpi")
WRAPPER = e2e.WINE
# The build's harness, on a prefix and display of this test's own size; e2e's
# helpers (probe, screenshots, pointer) go through them.
os.environ.update(HARNESS_HOME=H, HARNESS_SCREEN=SCREEN)
e2e.HARNESS = H
SCALES = (96, 144, 192)
LABEL_TEXT_MIN = 200   # a text pixel of the label: brighter than its panel in every channel


def wine(*command):
    subprocess.run([WRAPPER, *command], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, check=False)


def stop_server():
    env = dict(os.environ, WINEPREFIX=os.path.join(H, "prefix"))
    for flag in ("-k", "-w"):
        subprocess.run(["wineserver", flag], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=False)


def set_dpi(dpi):
    """The prefix's scale, read by every process started after its server ends.
    The prefix is then booted and its desktop brought up by a probe whose
    output goes nowhere: the desktop's process lives on, and one started by a
    probe whose output the test reads would hold that pipe open."""
    stop_server()
    wine("reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f")
    stop_server()
    wine(e2e.PROBE, "foreground")


def rows_with(image, box, test):
    """The first and last row of box (x, y, w, h) holding a pixel that passes test."""
    x, y, w, h = box
    part = image.crop((x, y, x + w, y + h)).load()
    rows = [r for r in range(h) if any(test(part[c, r]) for c in range(w))]
    return (rows[0], rows[-1]) if rows else None


def overlay_ink(p):
    r, g, b = p
    return abs(r - e2e.OVERLAY_RGB[0]) < 40 and abs(g - e2e.OVERLAY_RGB[1]) < 40 and abs(b - e2e.OVERLAY_RGB[2]) < 60


def label_ink(p):
    return min(p) >= LABEL_TEXT_MIN


def layout(info):
    return numbers(info["frame"]), numbers(info["client"]), {c["id"]: (c["x"], c["y"], c["w"], c["h"])
                                                             for c in info["children"]}


def still_pixels(image, frame, client, kids):
    """The window's pixels that do not move by themselves: the frame and
    caption and the column, without the animated view and the ticking clock."""
    part = image.crop((frame[0], frame[1], frame[0] + frame[2], frame[1] + frame[3]))
    for cid in (-1, -104):
        x, y, w, h = kids[cid]
        left, top = client[0] - frame[0] + x, client[1] - frame[1] + y
        part.paste((0, 0, 0), (left, top, left + w, top + h))
    return part


def round_trip(before_shot, info):
    """WM_DPICHANGED for 192 with a suggested rectangle, then back for 96.
    Wine says every window's DPI is LogPixels (GetDpiForWindow), which the
    program takes over any WM_DPICHANGED; this run hides that call
    (ORVANE_NO_WINDOW_DPI), as on a system without it, where the message's
    DPI is the window's."""
    frame, client, kids = layout(info)
    left, top, w, h = frame
    # The suggested place keeps the whole window on the test's screen.
    check(e2e.probe("dpichanged", 192, 20, 20, 20 + 2 * w, 20 + 2 * h)["rc"] == 0, "WM_DPICHANGED 192 sent")
    time.sleep(1.0)
    big_frame, big_client, big_kids = layout(e2e.probe("window"))
    check(big_frame == [20, 20, 2 * w, 2 * h], "192: the window takes the suggested rectangle %s" % big_frame)
    check(big_client[2:] == [2 * client[2], 2 * client[3]], "192: client area %s" % big_client[2:])
    for cid, place in kids.items():
        check(big_kids[cid] == tuple(2 * v for v in place), "192: child %d at %s" % (cid, big_kids[cid]))
    shot = e2e.screenshot("dpi-message-192")
    view = big_kids[-1]
    overlay = rows_with(shot, (big_client[0] + view[0], big_client[1] + view[1], 400, 120), overlay_ink)
    label = big_kids[-102]
    text = rows_with(shot, (big_client[0] + label[0] + 2, big_client[1] + label[1] + 2, label[2] - 4, label[3] - 4),
                     label_ink)
    check(e2e.probe("dpichanged", 96, left, top, left + w, top + h)["rc"] == 0, "WM_DPICHANGED 96 sent")
    time.sleep(1.0)
    back = e2e.probe("window")
    check(layout(back) == (frame, client, kids), "96 again: the layout is today's exactly")
    after_shot = e2e.screenshot("dpi-message-96")
    a, b = still_pixels(before_shot, frame, client, kids), still_pixels(after_shot, frame, client, kids)
    differ = sum(1 for p, q in zip(a.getdata(), b.getdata()) if p != q)
    check(differ == 0, "96 again: frame, caption and column pixels are today's (%d differ)" % differ)
    return {"overlay": overlay, "text": text}


def measure(dpi):
    """The layout and the text heights at one DPI."""
    set_dpi(dpi)
    # The start-up steps on the debug output, kept beside the screenshots.
    os.makedirs(e2e.OUT, exist_ok=True)
    log = open(os.path.join(e2e.OUT, "dpi-%d.log" % dpi), "wb")
    process = subprocess.Popen([e2e.WINE, e2e.PROGRAM], stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                               env=dict(os.environ, WINEDEBUG="-all,+debugstr", ORVANE_TRACE="1",
                                        ORVANE_NO_WINDOW_DPI="1" if dpi == 96 else "0"))
    try:
        info = e2e.wait_window(90)
        time.sleep(2.0)
        info = e2e.probe("window")
        shot = e2e.screenshot("dpi-%d" % dpi)
        frame, client = numbers(info["frame"]), numbers(info["client"])
        kids = {c["id"]: (c["x"], c["y"], c["w"], c["h"]) for c in info["children"]}
        cx, cy = client[0], client[1]
        view, label = kids[-1], kids[-102]
        s = dpi / 96
        # The overlay's four lines, in a corner of the view large enough at this scale.
        overlay = rows_with(shot, (cx + view[0], cy + view[1], int(200 * s), int(60 * s)), overlay_ink)
        # The label's text block inside its panel.
        text = rows_with(shot, (cx + label[0] + 2, cy + label[1] + 2, label[2] - 4, label[3] - 4), label_ink)
        message = round_trip(shot, info) if dpi == 96 else None
        check(e2e.close_and_wait(process) == 0, "%d DPI: closes with exit code 0" % dpi)
        return {"frame": frame, "client": client, "kids": kids, "overlay": overlay, "text": text,
                "message": message}
    finally:
        e2e.stop(process)


def near(value, want, tolerance=2):
    return abs(value - want) <= tolerance


def overlaps(a, b):
    return a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and a[1] < b[1] + b[3] and b[1] < a[1] + a[3]


def main():
    try:
        seen = {dpi: measure(dpi) for dpi in SCALES}
    finally:
        subprocess.run([os.path.join(os.path.dirname(WRAPPER), "harness-stop.sh")], check=False)
    base = seen[96]
    check(base["client"][2:] == [668, 532], "96 DPI: client area 668x532 (%s)" % base["client"][2:])
    check(base["overlay"] is not None and base["text"] is not None, "96 DPI: overlay and label text seen")
    tall = lambda rows: rows[1] - rows[0] + 1
    for what in ("overlay", "text"):
        grown = base["message"][what]
        check(grown is not None and abs(tall(grown) / tall(base[what]) - 2) < 0.3,
              "WM_DPICHANGED 192: the %s is twice as tall (%s vs %s)" % (what, grown, base[what]))
    names = {-1: "view", -102: "label", -103: "trackbar", -104: "clock", -105: "logo"}
    for dpi in SCALES[1:]:
        s, got = dpi / 96, seen[dpi]
        cw, ch = got["client"][2], got["client"][3]
        check(near(cw, 668 * s) and near(ch, 532 * s), "%d DPI: client area %dx%d is %.1f x 668x532" % (dpi, cw, ch, s))
        thick = [got["frame"][2] - cw, got["frame"][3] - ch]
        base_thick = [base["frame"][2] - 668, base["frame"][3] - 532]
        check(near(thick[0], base_thick[0] * s) and near(thick[1], base_thick[1] * s),
              "%d DPI: frame and caption %s are %.1f x %s" % (dpi, thick, s, base_thick))
        for cid, name in names.items():
            want = [v * s for v in base["kids"][cid]]
            check(all(near(a, b) for a, b in zip(got["kids"][cid], want)),
                  "%d DPI: %s at %s, %.1f x %s" % (dpi, name, got["kids"][cid], s, base["kids"][cid]))
        for what in ("overlay", "text"):
            tall, base_tall = got[what][1] - got[what][0] + 1, base[what][1] - base[what][0] + 1
            check(abs(tall / base_tall - s) < 0.15 * s,
                  "%d DPI: %s text %d px tall, %.2f x the %d px at 96" % (dpi, what, tall, tall / base_tall, base_tall))
        label = got["kids"][-102]
        check(got["text"][1] < label[3] - 4, "%d DPI: the label's text ends inside its panel" % dpi)
        rects = [got["kids"][cid] for cid in names]
        check(all(r[0] >= 0 and r[1] >= 0 and r[0] + r[2] <= cw and r[1] + r[3] <= ch for r in rects),
              "%d DPI: every child inside the client area" % dpi)
        check(not any(overlaps(a, b) for i, a in enumerate(rects) for b in rects[i + 1:]),
              "%d DPI: no two children overlap" % dpi)


if __name__ == "__main__":
    try:
        main()
    except Failure as failure:
        print("FAILED:", failure)
        sys.exit(1)
