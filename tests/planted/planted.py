#!/usr/bin/python3
"""Windows' own library search order: stand-ins named like the non-known
system libraries are planted beside the demo and beside the SDK's sample, and
Wine is told to prefer DLL files on disk for those names, as Windows does. The
program must start, draw its scene, close with exit code 0 and load none of
them (each leaves "<name>.dll.loaded" when loaded).

Usage: planted.py BUILD_DIR CASE VERSION PLANTED_DIR   (CASE: demo or sdk_sample)
"""
import glob
import os
import re
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
sys.path.insert(0, os.path.join(HERE, "..", "release"))
import e2e  # noqa: E402
from e2e import Failure, check  # noqa: E402

PLANTED = sys.argv[4]
NAMES = ("opengl32", "msimg32", "comctl32", "dwmapi", "uxtheme", "windowscodecs")
OVERRIDES = ",".join(NAMES) + "=n,b"
MODULES = os.path.join(e2e.BUILD, "bin", "planted_modules.exe")
OURS = {"orvane.dll", "md2ex.dll", "pelmar.dll"}


def slashed(path):
    """A Windows path, lower case, with single forward slashes."""
    return re.sub(r"[\\\\/]+", "/", path).lower()


def start_traced(command, trace):
    """Starts a program with the loader's trace (who loads what) in trace."""
    env = dict(os.environ, WINEDLLOVERRIDES=OVERRIDES, WINEDEBUG="+module,+loaddll")
    return subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=open(trace, "w"), env=env)


def planted_loads(trace, folder):
    """(file, requester) for each file of folder the process mapped; the
    requester is the module whose late import was being resolved, or None."""
    bases, previous, asked, loads = {}, {}, {}, []
    with open(trace, errors="replace") as f:
        for line in f:
            thread = line[:4]
            m = re.search(r'Loaded L"([^"]+)" at ([0-9A-Fa-f]+)', line)
            if m:
                bases[int(m.group(2), 16)] = m.group(1)
            if "load_dll looking for" in line:
                m = re.search(r"LdrResolveDelayLoadedAPI \(([0-9A-Fa-f]+),", previous.get(thread, ""))
                asked[thread] = bases.get(int(m.group(1), 16), m.group(1)) if m else None
            m = re.search(r'mapping PE file L"\\+\?\?\\+([^"]+)"', line)
            if m and slashed(m.group(1)).startswith(slashed(folder) + "/"):
                loads.append((slashed(m.group(1)).rsplit("/", 1)[-1], asked.get(thread)))
            previous[thread] = line
    return loads


def check_planted_loads(trace, folder, program):
    """No stand-in is loaded by our code. Wine's own system libraries resolve
    their late imports by the plain search path (Wine's loader does not apply
    SetDefaultDllDirectories there, Windows' does): such a load is named,
    not counted against the program."""
    wine_own = []
    for name, requester in planted_loads(trace, windows_path(folder)):
        if name.lower() in OURS | {program}:
            continue
        if requester and slashed(requester).startswith("c:/windows/"):
            wine_own.append("%s for %s" % (name, requester))
            continue
        raise Failure("%s was loaded from beside the program (asked by %s)" % (name, requester or "a direct load"))
    print("note: Wine's own libraries took from beside the program: %s" % (wine_own or "nothing"))
    markers = sorted(os.path.basename(m)[:-len(".loaded")].lower() for m in glob.glob(os.path.join(folder, "*.loaded")))
    accounted = sorted(w.split(" ")[0].lower() for w in wine_own)
    check(markers == accounted, "no stand-in was loaded by the program (markers %s, Wine's own %s)" % (markers, accounted))


def plant(folder):
    for name in NAMES:
        shutil.copy(os.path.join(PLANTED, name + ".dll"), folder)
    for marker in glob.glob(os.path.join(folder, "*.loaded")):
        os.remove(marker)


def loaded_modules(window_class):
    result = subprocess.run([e2e.WINE, MODULES, window_class], capture_output=True, text=True, timeout=60)
    return [line.strip() for line in result.stdout.splitlines() if line.strip()]


def check_only_ours_from_folder(folder, modules, program):
    """Only the program and our libraries come from its folder."""
    from_folder = {slashed(m).rsplit("/", 1)[-1] for m in modules
                   if slashed(m).startswith(slashed(windows_path(folder)) + "/")}
    check(len(modules) > 5, "the program's modules are listed (%d)" % len(modules))
    check(from_folder <= OURS | {program}, "from the program's folder only it and our libraries: %s" % sorted(from_folder))


def windows_path(folder):
    result = subprocess.run([e2e.WINE, "winepath", "-w", folder], capture_output=True, text=True, timeout=60)
    return result.stdout.strip().replace("\\", "/")


def case_demo():
    folder = os.path.join(e2e.OUT, "planted", "demo")
    shutil.rmtree(folder, ignore_errors=True)
    shutil.copytree(e2e.PROGRAM_DIR, folder)
    plant(folder)
    trace = os.path.join(e2e.OUT, "planted", "demo-loader.txt")
    process = start_traced([e2e.WINE, os.path.join(folder, "orvane_demo.exe")], trace)
    try:
        try:
            info = e2e.wait_window(timeout=20)
        except Failure:
            markers = sorted(os.path.basename(m) for m in glob.glob(os.path.join(folder, "*.loaded")))
            raise Failure("the demo did not start beside the planted libraries (exit %s, markers: %s)"
                          % (process.poll(), markers))
        time.sleep(2.0)
        rect = e2e.view_rect(info)
        first = e2e.screenshot("planted-demo-1")
        time.sleep(1.0)
        second = e2e.screenshot("planted-demo-2")
        view = e2e.crop(second, rect)
        upright, _ = e2e.background_correlation(view)
        check(upright > 0.8, "the background picture is drawn (%.2f)" % upright)
        _, count = e2e.changed_box(e2e.crop(first, rect), view)
        check(count > 200, "the model is drawn and animates (%d pixels changed)" % count)
        check(e2e.overlay_pixels(view) > 150, "the overlay text shows")
        frame, client = e2e.numbers(info["frame"]), e2e.numbers(info["client"])
        caption = second.crop((frame[0] + 40, frame[1] + 4, frame[0] + frame[2] - 120, client[1] - 4))
        r, g, b = e2e.mean(caption)
        check(r > 100 and r > g + 50 and r > b + 50, "the skin is drawn: red caption (%d,%d,%d)" % (r, g, b))
        clock = next(c for c in info["children"] if c["id"] == -104)
        face = second.crop((client[0] + clock["x"], client[1] + clock["y"],
                            client[0] + clock["x"] + clock["w"], client[1] + clock["y"] + clock["h"]))
        check(len(set(face.getdata())) > 100, "the clock has its face")
        modules = loaded_modules("DEVAVOVAR")
        comctl = [m for m in modules if m.lower().endswith("\\comctl32.dll")]
        check(len(comctl) == 1 and "winsxs" in comctl[0].lower() and "common-controls_6595b64144ccf1df_6." in comctl[0].lower(),
              "the common controls are the manifest's version 6: %s" % comctl)
        check_only_ours_from_folder(folder, modules, "orvane_demo.exe")
        check(e2e.close_and_wait(process) == 0, "closing ends the program with exit code 0")
    finally:
        e2e.stop(process)
    check_planted_loads(trace, folder, "orvane_demo.exe")


def case_sdk_sample():
    import release  # reads the version from sys.argv[3], as this script takes it
    sdk = release.unpack(release.SDK_ZIP, "planted sdk")
    sample, build = os.path.join(sdk, "sample"), os.path.join(sdk, "sample build")
    for command in (["cmake", "-S", sample, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                     "-DCMAKE_TOOLCHAIN_FILE=" + os.path.join(sample, "mingw-i686.cmake")],
                    ["cmake", "--build", build]):
        made = subprocess.run(command, capture_output=True, text=True)
        if made.returncode:
            print(made.stdout[-3000:], made.stderr[-2000:])
        check(made.returncode == 0, " ".join(command[:2]) + ": the sample builds")
    plant(build)
    trace = os.path.join(e2e.OUT, "planted-sample-loader.txt")
    process = start_traced([e2e.WINE, os.path.join(build, "model_viewer.exe"),
                            os.path.join(sample, "data", "Sydney.md2")], trace)
    try:
        end, info = time.time() + 20, {}
        while time.time() < end and info.get("visible") != "1" and process.poll() is None:
            time.sleep(0.3)
            info = release.release_probe("window", release.SAMPLE_CLASS)
        markers = sorted(os.path.basename(m) for m in glob.glob(os.path.join(build, "*.loaded")))
        check(info.get("visible") == "1",
              "the sample starts beside the planted libraries (exit %s, markers: %s)" % (process.poll(), markers))
        time.sleep(2.0)
        x, y, cw, ch = e2e.numbers(info["client"])
        shot = e2e.screenshot("planted-sample")
        view = shot.crop((x + 10, y + 40, x + cw - 10, y + ch - 10))
        model = [p for p in view.getdata() if release.far_from(p, release.SAMPLE_CLEAR)]
        check(len(model) > 3000 and len(set(model)) > 200, "the model is drawn, lit and textured (%d pixels)" % len(model))
        caption = shot.crop((x, max(0, y - 24), x + cw, y - 4))
        red = sum(1 for r, g, b in caption.getdata() if r > g + 40 and r > b + 30)
        check(red > cw * 10, "the skin engine dresses the window (%d red pixels)" % red)
        modules = loaded_modules(release.SAMPLE_CLASS)
        check_only_ours_from_folder(build, modules, "model_viewer.exe")
        subprocess.run([e2e.WINE, release.RELEASE_PROBE, "close", release.SAMPLE_CLASS], timeout=60)
        check(process.wait(20) == 0, "the sample closes with exit code 0")
    finally:
        if process.poll() is None:
            subprocess.run([e2e.WINE, release.RELEASE_PROBE, "close", release.SAMPLE_CLASS], timeout=60)
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
    check_planted_loads(trace, build, "model_viewer.exe")


if __name__ == "__main__":
    try:
        e2e.no_program_running()
        {"demo": case_demo, "sdk_sample": case_sdk_sample}[sys.argv[2]]()
    except Failure as failure:
        print("FAILED:", failure)
        sys.exit(1)
