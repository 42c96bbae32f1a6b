#!/usr/bin/python3
"""Whole-program tests: the real program under Wine and Xvfb, driven from
outside as a user would (pointer and keys sent into the X server with xdotool),
looked at with screenshots and with probe.exe from inside the Wine desktop.

Usage: e2e.py BUILD_DIR CASE   (CASE: see the CASES table at the end)
"""
import os
import shutil
import struct
import subprocess
import sys
import time

from PIL import Image, ImageChops

BUILD = os.path.abspath(sys.argv[1])
HARNESS = os.path.join(BUILD, "harness")
WINE = os.path.join(HARNESS, "wine-run.sh")
PROGRAM_DIR = os.path.join(BUILD, "program")
PROGRAM = os.path.join(PROGRAM_DIR, "orvane_demo.exe")
PROBE = os.path.join(BUILD, "bin", "probe.exe")
DOUBLES = os.path.join(BUILD, "bin", "program_doubles.exe")
OUT = os.path.join(BUILD, "e2e")
OVERLAY_RGB = (247, 225, 125)


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)
    print("ok:", message)


def display():
    # The harness starts Xvfb on first use; a probe call makes sure it runs.
    path = os.path.join(HARNESS, "display")
    if not os.path.exists(path):
        subprocess.run([WINE, PROBE, "foreground"], capture_output=True)
    with open(path) as f:
        return f.read().strip()


def x_env():
    env = dict(os.environ)
    env["DISPLAY"] = display()
    return env


def probe(*args):
    result = subprocess.run([WINE, PROBE, *map(str, args)], capture_output=True, text=True, timeout=60)
    info = {"children": []}
    for line in result.stdout.splitlines():
        key, _, value = line.partition(" ")
        if key == "child":
            parts = value.split()
            info["children"].append({"class": parts[0].lower(), "id": int(parts[1]), "style": int(parts[2], 16),
                                     "x": int(parts[3]), "y": int(parts[4]), "w": int(parts[5]),
                                     "h": int(parts[6]), "visible": parts[7] == "1"})
        else:
            info[key] = value
    info["rc"] = result.returncode
    return info


def start(program=PROGRAM, env=None):
    return subprocess.Popen([WINE, program], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, env=env)


def wait_window(timeout=30):
    end = time.time() + timeout
    while time.time() < end:
        info = probe("window")
        if info.get("found") == "1" and info.get("visible") == "1":
            return info
        time.sleep(0.2)
    raise Failure("the main window did not appear")


def numbers(text):
    return [int(v) for v in text.split()]


def screenshot(name):
    os.makedirs(OUT, exist_ok=True)
    path = os.path.join(OUT, name + ".png")
    subprocess.run(["import", "-window", "root", path], check=True, env=x_env())
    return Image.open(path).convert("RGB")


def xdo(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True, env=x_env())


def drag(button, start_xy, end_xy, steps=12):
    xdo("mousemove", *start_xy)
    time.sleep(0.1)
    xdo("mousedown", button)
    time.sleep(0.1)
    for i in range(1, steps + 1):
        x = start_xy[0] + (end_xy[0] - start_xy[0]) * i // steps
        y = start_xy[1] + (end_xy[1] - start_xy[1]) * i // steps
        xdo("mousemove", x, y)
        time.sleep(0.03)
    time.sleep(0.1)
    xdo("mouseup", button)
    time.sleep(0.3)


def close_and_wait(process, timeout=20):
    """Closes the main window with Alt+F4 and returns the exit code. A program
    still running after Alt+F4 fails the check; only then is it closed another
    way, so that the next case starts clean."""
    info = probe("window")
    client = numbers(info["client"])
    xdo("mousemove", client[0] + 600, client[1] + 20)  # over the column, not the view
    xdo("click", 1)
    xdo("key", "alt+F4")
    try:
        return process.wait(timeout)
    except subprocess.TimeoutExpired:
        failure = Failure("Alt+F4 did not end the program within %d s" % timeout)
    stop(process)
    raise failure


def stop(process):
    if process.poll() is None:
        probe("close")
        try:
            process.wait(10)
        except subprocess.TimeoutExpired:
            process.kill()


def view_rect(info):
    client = numbers(info["client"])
    view = next(c for c in info["children"] if c["id"] == -1)
    return (client[0] + view["x"], client[1] + view["y"], view["w"], view["h"])


def child_box(info, child_id):
    """Screen box (left, top, right, bottom) of a child of the main window."""
    client = numbers(info["client"])
    c = next(c for c in info["children"] if c["id"] == child_id)
    return (client[0] + c["x"], client[1] + c["y"], client[0] + c["x"] + c["w"], client[1] + c["y"] + c["h"])


def crop(image, rect):
    x, y, w, h = rect
    return image.crop((x, y, x + w, y + h))


FOCUS_EDGE = 3   # the view's focus cue lies this close to its edge (see without_edge)


def without_edge(mask):
    """A difference mask of the view with its edge cleared: the view draws a
    focus cue just inside its edge while it has the keyboard focus (Wine
    shows keyboard cues to mouse users too), which comes and goes between
    two pictures as the focus moves and is not the model."""
    w, h = mask.size
    for box in ((0, 0, w, FOCUS_EDGE), (0, h - FOCUS_EDGE, w, h), (0, 0, FOCUS_EDGE, h), (w - FOCUS_EDGE, 0, w, h)):
        mask.paste(0, box)
    return mask


def changed_box(a, b, threshold=40, skip_overlay=True):
    """Bounding box and pixel count where two pictures of the view differ."""
    diff = without_edge(ImageChops.difference(a, b).convert("L").point(lambda v: 255 if v > threshold else 0))
    if skip_overlay:
        diff.paste(0, (0, 0, 190, 52))
    count = sum(1 for v in diff.getdata() if v)
    return diff.getbbox(), count


def centre_x(box):
    return (box[0] + box[2]) / 2


def overlay_pixels(view):
    return sum(1 for p in crop(view, (0, 0, 190, 52)).getdata() if near_overlay(p))


def mean(image):
    data = list(image.getdata())
    return tuple(sum(p[i] for p in data) / len(data) for i in range(3))


# ---------------------------------------------------------------------------

def case_layout():
    process = start()
    try:
        info = wait_window()
        check(info["title"].startswith("Orvane control ") and info["title"].endswith(' - "3D lighting" demo'),
              "title: " + info["title"])
        client = numbers(info["client"])
        cw, ch = client[2], client[3]
        check((cw, ch) == (668, 532), "client area %dx%d is 668x532" % (cw, ch))
        kids = {c["id"]: c for c in info["children"]}
        want = {-1: "qopenglctrl", -103: "msctls_trackbar32", -102: "static"}
        for cid, cls in want.items():
            check(cid in kids and kids[cid]["class"] == cls, "child %d is a %s" % (cid, cls))
        check(-104 in kids and -105 in kids, "clock (-104) and logo (-105) exist")
        view, bar, label, clock, logo = kids[-1], kids[-103], kids[-102], kids[-104], kids[-105]
        check(view["style"] & 0x50000000 == 0x50000000, "view style has WS_CHILD|WS_VISIBLE")
        check(bar["style"] & 0x50010001 == 0x50010001, "trackbar style 0x50010001")
        check(label["style"] & 0x50800001 == 0x50800001, "label style 0x50800001")
        # Anchoring keeps the creation margins whatever the skin made of the client area.
        check((view["x"], view["y"]) == (10, 10), "view at (10, 10)")
        check(view["w"] == cw - 156 and view["h"] == ch - 20, "view keeps its margins: %dx%d" % (view["w"], view["h"]))
        check((bar["x"], bar["y"], bar["w"], bar["h"]) == (537 + cw - 668, 457 + ch - 532, 120, 16),
              "trackbar at the bottom right: %s" % bar)
        check((label["x"], label["y"], label["w"], label["h"]) == (cw - 137, 150, 129, 135), "label: %s" % label)
        check((logo["x"], logo["y"], logo["w"], logo["h"]) == (cw - 135, 350, 124, 45), "logo: %s" % logo)
        check((clock["x"], clock["y"]) == (view["x"] + view["w"] + 28, view["y"]), "clock beside the view: %s" % clock)
        check((clock["w"], clock["h"]) == (92, 92), "clock has the face's size, 92x92")
        # The trackbar looks as the common controls the manifest binds draw it
        # (the planted-library test checks that binding by the module's path).
        # Looked at until it has been painted (a wrong look stays wrong).
        reference = Image.open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "trackbar.png")).convert("RGB")
        area = reference.size[0] * reference.size[1]
        deadline = time.time() + 5
        while True:
            shot = screenshot("layout").crop(child_box(info, -103))
            differ = (sum(1 for p in ImageChops.difference(shot, reference).getdata() if max(p) > 40)
                      if shot.size == reference.size else area)
            if differ <= area // 50 or time.time() > deadline:
                break
            time.sleep(0.25)
        check(differ <= area // 50, "the trackbar looks as it should: %d of %d pixels differ" % (differ, area))
        code = close_and_wait(process)
        check(code == 0, "closing the window ends the program with exit code 0 (got %s)" % code)
    finally:
        stop(process)


def case_scene():
    process = start()
    try:
        info = wait_window()
        time.sleep(2.0)
        rect = view_rect(info)
        first = screenshot("scene-1")
        first_taken = time.time()
        time.sleep(1.0)
        second = screenshot("scene-2")
        v1, v2 = crop(first, rect), crop(second, rect)
        check(overlay_pixels(v2) > 150, "overlay text in its colour at the top left (%d pixels)" % overlay_pixels(v2))
        w, h = v2.size
        upright, flipped = background_correlation(v2)
        check(upright > 0.8 and upright > flipped + 0.3,
              "background upright: rows match the picture %.2f, flipped %.2f" % (upright, flipped))
        box, count = changed_box(v1, v2)
        check(box is not None and count > 200, "the model animates (%d pixels changed)" % count)
        cx = centre_x(box)
        check(w * 0.25 < cx < w * 0.75, "the animating model is near the middle (x %d of %d)" % (cx, w))
        corner_box, _ = changed_box(v1.crop((w - 80, h - 80, w, h)), v2.crop((w - 80, h - 80, w, h)), skip_overlay=False)
        check(corner_box is None, "the background corner stays still")
        client = numbers(info["client"])
        column = first.crop((rect[0] + rect[2] + 5, client[1], client[0] + client[2], client[1] + client[3]))
        colours = len(set(column.getdata()))
        check(colours > 50, "the right-hand column shows clock, label and logo (%d colours)" % colours)
        # The clock on its own: its face, and a second hand that moves (two
        # seconds apart: at least one tick lies between the pictures).
        time.sleep(max(0.0, first_taken + 2.0 - time.time()))
        third = screenshot("scene-3")
        clock = child_box(info, -104)
        colours = len(set(first.crop(clock).getdata()))
        check(colours > 100, "the clock shows its face (%d colours)" % colours)
        _, moved = changed_box(first.crop(clock), third.crop(clock), threshold=20, skip_overlay=False)
        check(moved > 10, "the clock's hands move (%d pixels changed)" % moved)
        check(close_and_wait(process) == 0, "exit code 0")
    finally:
        stop(process)


def correlation(a, b):
    n = len(a)
    ma, mb = sum(a) / n, sum(b) / n
    cov = sum((x - ma) * (y - mb) for x, y in zip(a, b))
    va = sum((x - ma) ** 2 for x in a) ** 0.5
    vb = sum((y - mb) ** 2 for y in b) ** 0.5
    return cov / (va * vb) if va and vb else 0.0


def background_correlation(view):
    """How well the rows of a strip at the view's left edge match the
    background picture seen through the zoom-50 projection, right way up and
    upside down."""
    picture = Image.open(os.path.join(PROGRAM_DIR, "Resource", "Background.jpg")).convert("L")
    pw, ph = picture.size
    w, h = view.size
    half = 80 * 0.46630765815   # tan(25 degrees): half the quad's visible extent at zoom 50
    gray = view.convert("L")
    seen, upright, flipped = [], [], []
    for y in range(60, h - 4, 4):
        seen.append(sum(gray.getpixel((x, y)) for x in range(20, 80, 4)))
        t = 0.5 + (0.5 - (y + 0.5) / h) * half / 40
        row = min(ph - 1, max(0, int((1 - t) * ph)))
        columns = [int((0.5 + ((x + 0.5) / w - 0.5) * half / 80) * pw) for x in range(20, 80, 4)]
        upright.append(sum(picture.getpixel((c, row)) for c in columns))
        flipped.append(sum(picture.getpixel((c, ph - 1 - row)) for c in columns))
    return correlation(seen, upright), correlation(seen, flipped)


def model_box(view, background):
    box, count = changed_box(view, background)
    if box is None or count < 100:
        return None
    return box


def model_mask(view, background, threshold=40):
    return without_edge(ImageChops.difference(view, background).convert("L").point(lambda v: 255 if v > threshold else 0))


def model_area(view, background):
    mask = model_mask(view, background)
    mask.paste(0, (0, 0, mask.size[0], 52))
    return sum(1 for v in mask.getdata() if v)


def outline_change(a, b, background):
    """Pixels covered by the model in one picture of the view but not in the
    other, below the overlay."""
    diff = ImageChops.difference(model_mask(a, background), model_mask(b, background))
    diff.paste(0, (0, 0, diff.size[0], 52))
    return sum(1 for v in diff.getdata() if v)


def still_model(resource):
    """Cuts the model to its first frame: it stands still, so that a picture
    of the view changes only by what the pointer does."""
    with open(os.path.join(resource, "Sydney.md2"), "r+b") as f:
        f.seek(40)   # the header's frame count
        f.write(struct.pack("<i", 1))


def case_navigate():
    process = start(variant_program("still-model", still_model))
    try:
        info = wait_window()
        time.sleep(1.0)
        rect = view_rect(info)
        vx, vy, vw, vh = rect
        centre = (vx + vw // 2, vy + vh // 2)
        before = crop(screenshot("nav-start"), rect)
        # A right drag of half the view's width moves the model 1.875 units to the
        # right: out of sight, which leaves the background alone to compare with.
        drag(3, centre, (centre[0] + vw // 2, centre[1]))
        background = crop(screenshot("nav-background"), rect)
        start_box = model_box(before, background)
        check(start_box is not None, "the model stands in front of the background: %s" % (start_box,))
        # Drag it back by the same distance: back where it started.
        drag(3, (centre[0] + vw // 2, centre[1]), centre)
        home_box = model_box(crop(screenshot("nav-home"), rect), background)
        check(home_box is not None and abs(centre_x(home_box) - centre_x(start_box)) < 30,
              "dragging back restores the place: %s vs %s" % (home_box, start_box))
        # A short right drag to the left and up: the model follows the pointer.
        drag(3, centre, (centre[0] - 60, centre[1] - 40))
        moved = model_box(crop(screenshot("nav-moved"), rect), background)
        check(moved is not None and centre_x(moved) < centre_x(home_box) - 60,
              "a right drag to the left moves the model left: %s" % (moved,))
        check(moved[1] < home_box[1] - 40, "and up: top %d from %d" % (moved[1], home_box[1]))
        drag(3, (centre[0] - 60, centre[1] - 40), centre)
        # A left press and release without a move leaves the model as it was;
        # a left drag of 180 pixels turns it by 90 degrees, side on.
        front = crop(screenshot("nav-front"), rect)
        left = (centre[0] - 90, centre[1])
        drag(1, left, left)
        unmoved = outline_change(front, crop(screenshot("nav-unmoved"), rect), background)
        drag(1, left, (centre[0] + 90, centre[1]))
        turned = crop(screenshot("nav-turned"), rect)
        area, changed = model_area(front, background), outline_change(front, turned, background)
        side, facing = model_box(turned, background), model_box(front, background)
        check(side is not None and facing is not None, "model visible before and after turning")
        check(unmoved < 50, "a left click without a move turns nothing (%d pixels changed)" % unmoved)
        check(changed > area // 3,
              "a left drag turns the model: %d of its %d pixels changed" % (changed, area))
        # The zoom trackbar to its left end: zoom 100, a much smaller model.
        client = numbers(info["client"])
        bar = next(c for c in probe("window")["children"] if c["id"] == -103)
        bx, by = client[0] + bar["x"], client[1] + bar["y"] + bar["h"] // 2
        drag(1, (bx + bar["w"] // 2, by), (bx - 30, by), steps=8)
        small = model_box(crop(screenshot("nav-zoom100"), rect), background)
        check(small is not None, "model visible at zoom 100")
        height = lambda b: b[3] - b[1]
        check(height(small) < 0.7 * height(side), "zoom 100 draws the model smaller: %d vs %d" % (height(small), height(side)))
        check(close_and_wait(process) == 0, "exit code 0")
    finally:
        stop(process)


def case_second_copy():
    first = start()
    try:
        wait_window()
        probe("minimize")
        time.sleep(0.5)
        check(probe("window")["iconic"] == "1", "the first copy is minimised")
        code = subprocess.run([WINE, PROGRAM], timeout=30).returncode
        check(code == 0, "a second start exits 0 (code %s)" % code)
        time.sleep(0.5)
        info = probe("window")
        check(info["iconic"] == "0" and info["visible"] == "1", "the first copy's window is restored")
        check(info["foreground"] == "1", "and in the foreground")
        check(first.poll() is None, "the first copy still runs")
        code = subprocess.run([WINE, PROGRAM], timeout=30).returncode
        check(code == 0, "a second start beside a visible first copy exits 0")
        check(close_and_wait(first) == 0, "the first copy closes with exit code 0")
    finally:
        stop(first)


def case_late_first():
    """A first copy holds the mutex and makes its window, minimised, only once
    the second copy runs: the second copy waits for that window and restores
    it (a copy that gave up at once would be gone, the window left minimised)."""
    holder = subprocess.Popen([WINE, PROBE, "first", "500", "4000"], stdout=subprocess.PIPE, text=True)
    try:
        check(holder.stdout.readline().strip() == "mutex 1", "the first copy holds the mutex")
        code = subprocess.run([WINE, PROGRAM], timeout=30).returncode
        check(code == 0, "the second copy exits 0")
        out, _ = holder.communicate(timeout=30)
        check("made 1" in out, "the second copy still ran when the window was made: %r" % out)
        check("restored 1" in out, "the second copy waited for the window and restored it")
        check("foreground 1" in out, "and brought it to the foreground")
    finally:
        if holder.poll() is None:
            holder.kill()


def variant_program(name, spoil):
    """A copy of the program folder with its Resource folder changed by spoil."""
    folder = os.path.join(OUT, "variant-" + name)
    shutil.rmtree(folder, ignore_errors=True)
    shutil.copytree(PROGRAM_DIR, folder)
    spoil(os.path.join(folder, "Resource"))
    return os.path.join(folder, "orvane_demo.exe")


def run_variant(name, spoil, look):
    """Runs the program from a spoiled copy of its folder; look(info, first,
    second) checks two pictures of the screen taken a second apart."""
    process = start(variant_program(name, spoil))
    try:
        info = wait_window()
        time.sleep(2.0)
        check(process.poll() is None, name + ": the program runs")
        first = screenshot("variant-%s-1" % name)
        time.sleep(1.0)
        second = screenshot("variant-" + name)
        look(info, first, second)
        check(close_and_wait(process) == 0, name + ": closes with exit code 0")
    finally:
        stop(process)


def overlay_lines(view):
    """Boxes (left, top, right, bottom) of the overlay's text lines, top down."""
    rows = {}
    for y in range(0, 60):
        xs = [x for x in range(0, 190) if near_overlay(view.getpixel((x, y)))]
        if xs:
            rows[y] = (min(xs), max(xs))
    lines = []
    for y in sorted(rows):
        left, right = rows[y]
        if lines and y == lines[-1][3]:
            lines[-1] = (min(lines[-1][0], left), lines[-1][1], max(lines[-1][2], right + 1), y + 1)
        else:
            lines.append((left, y, right + 1, y + 1))
    return lines


def near_overlay(pixel):
    r, g, b = pixel
    return abs(r - OVERLAY_RGB[0]) < 40 and abs(g - OVERLAY_RGB[1]) < 40 and abs(b - OVERLAY_RGB[2]) < 60


def shows_no_model(name, first, second):
    """The overlay's last line reads "Frame 1 / 0": it stands still, and is
    shorter than its first line "Horizontal  0.00" (with a model,
    "Frame NN / 198" is longer); nothing else in the view moves."""
    lines = overlay_lines(second)
    check(len(lines) == 4, "%s: four overlay lines: %s" % (name, lines))
    width = lambda box: box[2] - box[0]
    check(width(lines[3]) < 0.8 * width(lines[0]),
          "%s: the frame line is short, as \"Frame 1 / 0\" is: %s" % (name, lines))
    line = lines[3]
    check(ImageChops.difference(first.crop(line), second.crop(line)).getbbox() is None,
          "%s: and stays as it is" % name)
    box, count = changed_box(first, second, threshold=10)
    check(box is None, "%s: no model moves in the view (%d pixels changed)" % (name, count))


def plain_grey(name, view):
    """The view without its background picture: the quad in plain grey."""
    below = view.crop((0, 60, view.size[0], view.size[1]))
    count, colour = max(below.getcolors(1 << 16))
    share = count / (below.size[0] * below.size[1])
    r, g, b = colour
    check(max(r, g, b) - min(r, g, b) <= 4 and 60 < r < 200, "%s: the view is grey %s" % (name, colour))
    return share


def skin_colour(info, image):
    frame, client = numbers(info["frame"]), numbers(info["client"])
    return mean(image.crop((frame[0] + 40, frame[1] + 4, frame[0] + frame[2] - 120, client[1] - 4)))


def check_red_skin(name, info, image):
    r, g, b = skin_colour(info, image)
    check(r > 100 and r > g + 50 and r > b + 50, "%s: the skin file's red caption (%d,%d,%d)" % (name, r, g, b))


def face_share(image, info):
    """Share of the clock's box in the plain face's colour: most of it on the
    face drawn when no face picture was read, little on the picture."""
    clock = image.crop(child_box(info, -104))
    pixels = list(clock.getdata())
    return sum(1 for p in pixels if p == (244, 241, 236)) / len(pixels)


def logo_colours(image, info):
    return len(set(image.crop(child_box(info, -105)).getdata()))


def garbage(path, data=b"\x89PNG\r\n\x1a\nthis is not a picture" * 3):
    with open(path, "wb") as f:
        f.write(data)


def truncate(path, keep):
    with open(path, "rb") as f:
        data = f.read()
    with open(path, "wb") as f:
        f.write(data[:keep])


def case_bad_resources():
    def none(info, first, second):
        # Without the Resource folder: a grey view, no model, the built-in
        # skin, the clock's plain face, no logo.
        rect = view_rect(info)
        view1, view2 = crop(first, rect), crop(second, rect)
        share = plain_grey("no-resource", view2)
        check(share > 0.95, "no-resource: all of it (%.2f)" % share)
        shows_no_model("no-resource", view1, view2)
        r, g, b = skin_colour(info, second)
        check(b > r and r < 100, "no-resource: the built-in skin's blue-grey caption (%d,%d,%d)" % (r, g, b))
        share = face_share(second, info)
        check(share > 0.3, "no-resource: the clock shows its plain face (%.2f of it)" % share)
        check(logo_colours(second, info) <= 2, "no-resource: no logo (%d colours)" % logo_colours(second, info))
    run_variant("no-resource", lambda r: shutil.rmtree(r), none)

    def model(info, first, second):
        # A corrupt model: the background, no model, the red skin, the face, the logo.
        rect = view_rect(info)
        view1, view2 = crop(first, rect), crop(second, rect)
        upright, _ = background_correlation(view2)
        check(upright > 0.8, "corrupt-model: the background picture is drawn (%.2f)" % upright)
        shows_no_model("corrupt-model", view1, view2)
        check_red_skin("corrupt-model", info, second)
        share = face_share(second, info)
        check(share < 0.1, "corrupt-model: the clock shows its face picture (%.2f plain)" % share)
        check(logo_colours(second, info) > 20, "corrupt-model: the logo (%d colours)" % logo_colours(second, info))
    run_variant("corrupt-model", lambda r: garbage(os.path.join(r, "Sydney.md2"), b"IDP2\x08\x00\x00\x00" + b"\xff" * 200),
                model)

    def pictures(r):
        truncate(os.path.join(r, "Background.jpg"), 700)
        truncate(os.path.join(r, "Sydney.png"), 100)
        garbage(os.path.join(r, "Clock_09_92.png"))
        garbage(os.path.join(r, "Orvane.png"), b"")

    def untextured(info, first, second):
        # No picture decodes: a grey view with the model, untextured, animating
        # in front of it; the red skin; the plain clock face; no logo.
        rect = view_rect(info)
        view1, view2 = crop(first, rect), crop(second, rect)
        share = plain_grey("corrupt-pictures", view2)
        check(share > 0.5, "corrupt-pictures: around the model (%.2f of it)" % share)
        box, count = changed_box(view1, view2)
        check(box is not None and count > 200, "corrupt-pictures: the model animates (%d pixels changed)" % count)
        lines = overlay_lines(view2)
        check(len(lines) == 4 and lines[3][2] - lines[3][0] > 0.8 * (lines[0][2] - lines[0][0]),
              "corrupt-pictures: the frame line counts the model's frames: %s" % lines)
        check_red_skin("corrupt-pictures", info, second)
        share = face_share(second, info)
        check(share > 0.3, "corrupt-pictures: the clock shows its plain face (%.2f of it)" % share)
        check(logo_colours(second, info) <= 2, "corrupt-pictures: no logo (%d colours)" % logo_colours(second, info))
    run_variant("corrupt-pictures", pictures, untextured)


def case_diagnostics():
    """A corrupt model, pictures that cannot be decoded (one for each library
    that reads pictures) and a skin with a bad line: the program runs as ever, silent to the user, and with Wine's
    debug-string channel on each refusal is named once on the debug output."""
    folder = os.path.join(OUT, "variant-diagnostics")
    shutil.rmtree(folder, ignore_errors=True)
    shutil.copytree(PROGRAM_DIR, folder)
    resource = os.path.join(folder, "Resource")
    garbage(os.path.join(resource, "Sydney.md2"), b"IDP2\x08\x00\x00\x00" + b"\xff" * 200)
    garbage(os.path.join(resource, "Background.jpg"))
    garbage(os.path.join(resource, "Orvane.png"))
    with open(os.path.join(resource, "Scarlet.sks"), "a") as skin:
        skin.write("no.such.key = 1\n")
    log_path = os.path.join(OUT, "diagnostics.log")
    env = dict(os.environ, WINEDEBUG="-all,+debugstr")
    with open(log_path, "wb") as log:
        process = subprocess.Popen([WINE, os.path.join(folder, "orvane_demo.exe")], stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=log, env=env)
        try:
            wait_window()
            time.sleep(1.0)
            check(process.poll() is None, "the program runs")
            screenshot("variant-diagnostics")
            check(close_and_wait(process) == 0, "closes with exit code 0")
        finally:
            stop(process)
    with open(log_path, encoding="utf-8", errors="replace") as f:
        lines = [line for line in f.read().splitlines() if "OutputDebugString" in line]
    for item in ("md2ex: model refused: ", "orvane: picture refused: ", "pelmar: skin line skipped: ",
                 "pelmar: picture refused: "):
        named = [line for line in lines if item in line]
        check(len(named) == 1, "one line names %r (got %d)" % (item.strip(), len(named)))
    check(any("Sydney.md2" in line for line in lines if "model refused" in line), "the model's path is named")
    check(any("Background.jpg" in line for line in lines if "picture refused" in line), "the picture's path is named")
    check(any("unknown key" in line for line in lines if "skin line skipped" in line), "the skin line's reason")
    check(any("Orvane.png" in line for line in lines if "pelmar: picture refused" in line), "the logo's path is named")


UTF8_CODE_PAGE = (b'<activeCodePage xmlns="http://schemas.microsoft.com/SMI/2019/WindowsSettings">'
                  b'UTF-8</activeCodePage>')


def hide_utf8_code_page(program):
    """Turns the manifest's UTF-8 code page into an XML comment of the same
    length, as a system before Windows 10 1903 ignores it: the program then
    runs in the locale's ANSI code page."""
    with open(program, "rb") as f:
        data = f.read()
    check(data.count(UTF8_CODE_PAGE) == 1, "the program's manifest asks for the UTF-8 code page")
    comment = b"<!--" + b" " * (len(UTF8_CODE_PAGE) - 7) + b"-->"
    with open(program, "wb") as f:
        f.write(data.replace(UTF8_CODE_PAGE, comment))


def run_from_folder(tag, name, utf8=True):
    """Runs a copy of the program from a folder called name, with a Western
    locale (without utf8, in its ANSI code page 1252), and checks that every
    file it reads was found: the background, the model (it animates), the
    red skin and the clock's face."""
    folder = os.path.join(OUT, tag, name)
    shutil.rmtree(os.path.join(OUT, tag), ignore_errors=True)
    shutil.copytree(PROGRAM_DIR, folder)
    program = os.path.join(folder, "orvane_demo.exe")
    if not utf8:
        hide_utf8_code_page(program)
    env = dict(os.environ, LANG="C.UTF-8", LC_ALL="C.UTF-8")
    process = start(program, env=env)
    try:
        info = wait_window()
        time.sleep(2.0)
        rect = view_rect(info)
        first = screenshot(tag + "-1")
        time.sleep(1.0)
        second = screenshot(tag + "-2")
        view = crop(second, rect)
        upright, _ = background_correlation(view)
        check(upright > 0.8, "%s: the background picture is drawn (%.2f)" % (tag, upright))
        _, count = changed_box(crop(first, rect), view)
        check(count > 200, "%s: the model is drawn and animates (%d pixels changed)" % (tag, count))
        check_red_skin(tag, info, second)
        face = second.crop(child_box(info, -104))
        colours = len(set(face.getdata()))
        check(colours > 100, "%s: the clock has its face (%d colours)" % (tag, colours))
        check(close_and_wait(process) == 0, tag + ": exit code 0")
    finally:
        stop(process)


def case_folders():
    for utf8 in (True, False):
        suffix = "" if utf8 else "-ansi"
        run_from_folder("cyrillic" + suffix, "\u0414\u043c\u0438\u0442\u0440\u0438\u0439 \u0434\u0435\u043c\u043e", utf8)
        run_from_folder("cjk" + suffix, "\u6f14\u793a \u7a0b\u5e8f", utf8)
    run_from_folder("png-folder", "x.png")


def case_doubles():
    env = dict(os.environ, DOUBLE_VIEW_CLASS="0")
    code = subprocess.run([WINE, DOUBLES], env=env, timeout=60).returncode
    check(code == 99, "a view class that cannot be registered ends with 99 (got %s)" % code)
    env = dict(os.environ, DOUBLE_SKIN="0")
    code = subprocess.run([WINE, DOUBLES], env=env, timeout=60).returncode
    check(code == 0, "a skin engine that cannot start ends with 0 (got %s)" % code)
    check(probe("window").get("found") == "0", "and leaves no window behind")


def case_keyboard():
    """As a keyboard user: the focus goes round the view and the trackbar with
    Tab, survives a minimise and restore, the view's keys turn, move and zoom,
    and the view and trackbar have names a screen reader reads."""
    process = start(variant_program("still-model", still_model))
    try:
        info = wait_window()
        time.sleep(1.0)
        rect = view_rect(info)
        focus = lambda: probe("focus")
        check(focus()["focus"] == "-1", "at start the view has the focus")
        for key, child in (("Tab", "-103"), ("shift+Tab", "-1"), ("Tab", "-103")):
            xdo("key", key)
            time.sleep(0.3)
            check(focus()["focus"] == child, "%s moves the focus to %s" % (key, child))
        probe("minimize")
        time.sleep(0.5)
        probe("restore")
        time.sleep(0.5)
        check(focus()["focus"] == "-103", "the trackbar has the focus again after a minimise and restore")
        xdo("key", "Tab")
        time.sleep(0.3)
        check(focus()["focus"] == "-1", "and Tab brings it back to the view")

        # Shift+arrows move the model: the overlay's position lines change;
        # arrows turn it: the picture changes, the position lines stay.
        def lines_and_view():
            time.sleep(0.4)
            view = crop(screenshot("keys"), rect)
            boxes = overlay_lines(view)
            return [view.crop(b).tobytes() for b in boxes], view
        start_lines, start_view = lines_and_view()
        check(len(start_lines) == 4, "the overlay shows four lines")
        xdo("key", "shift+Right", "shift+Up")
        moved_lines, moved_view = lines_and_view()
        check(moved_lines[0] != start_lines[0] and moved_lines[1] != start_lines[1],
              "Shift+Right and Shift+Up change the horizontal and vertical position")
        xdo("key", "Left", "Left", "Left")
        turned_lines, turned_view = lines_and_view()
        check(turned_lines[:2] == moved_lines[:2], "arrows leave the position as it was")
        check(changed_box(moved_view, turned_view)[1] > 200, "and turn the model")

        # PgDn through the trackbar's own path: slider and zoom move together.
        before = int(focus()["zoompos"])
        xdo("key", "Next")
        paged_lines, _ = lines_and_view()
        check(int(focus()["zoompos"]) == before + 1, "PgDn moves the slider by one")
        check(paged_lines[2] != turned_lines[2], "and the zoom line of the overlay with it")

        names = probe("names")
        check(names.get("name") is not None, "names are read")
        lines = subprocess.run([WINE, PROBE, "names"], capture_output=True, text=True, timeout=60).stdout
        check("name -1 3D view" in lines, "the view is named \"3D view\": %r" % lines)
        check("name -103 Zoom" in lines, "the trackbar is named \"Zoom\"")
        check("before Static 1 Zoom" in lines, "a shown static \"Zoom\" stands just before the trackbar")
        check(close_and_wait(process) == 0, "exit code 0")
    finally:
        stop(process)


CASES = {
    "layout": case_layout,
    "scene": case_scene,
    "navigate": case_navigate,
    "second_copy": case_second_copy,
    "late_first": case_late_first,
    "bad_resources": case_bad_resources,
    "doubles": case_doubles,
    "folders": case_folders,
    "diagnostics": case_diagnostics,
    "keyboard": case_keyboard,
}

def no_program_running():
    """Closes a copy left over from an earlier run, so each case starts clean."""
    for _ in range(50):
        if probe("window").get("found") != "1":
            return
        probe("close")
        time.sleep(0.2)
    raise Failure("a copy of the program would not close")


if __name__ == "__main__":
    try:
        no_program_running()
        # The pointer away from where the window opens: resting over the
        # clock, it would raise the clock's tooltip over the hands.
        xdo("mousemove", 1, 1)
        CASES[sys.argv[2]]()
    except Failure as failure:
        print("FAILED:", failure)
        sys.exit(1)
