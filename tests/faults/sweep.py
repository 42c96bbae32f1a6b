#!/usr/bin/python3
"""The allocation fault sweep: runs the program built with the fault
injector (orvane_faults.exe) once without a fault to count the allocations of
its scene, then once for each allocation number N (--all) or for a spread
sample of them (--sample K), with allocation N failing. Every run must end
with exit code 0, and one whose failure was reached must show frames after it.
With --from, every allocation from N on fails (memory runs out for good):
every run must still end with exit code 0, within its time, wherever in the
scene it ends.

Usage: sweep.py BUILD_DIR (--all | --sample K | --points N,N,...) [--from]
"""
import os
import re
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import e2e  # noqa: E402
from e2e import Failure, check  # noqa: E402

FOLDER = os.path.join(e2e.OUT, "faults")
PROGRAM = os.path.join(FOLDER, "orvane_faults.exe")
REPORT = os.path.join(FOLDER, "report.txt")
SEH = os.path.join(FOLDER, "exceptions.txt")
MODULES = ("orvane_faults.exe", "orvane.dll", "md2ex.dll", "pelmar.dll")
OBJDUMP, ADDR2LINE, NM = "i686-w64-mingw32-objdump", "i686-w64-mingw32-addr2line", "i686-w64-mingw32-nm"


def crash_site():
    """Where the last unhandled exception of the run was raised: the module's
    source file and function, from the debug information of our binaries."""
    address = None
    with open(SEH, errors="replace") as f:
        for line in f:
            m = re.search(r"dispatch_exception code=([0-9a-f]+) flags=\w+ addr=([0-9A-Fa-f]+)", line)
            if m and m.group(1) != "406d1388":   # a thread's name
                address = int(m.group(2), 16)
    return "unknown place" if address is None else place(address)


def failing_stack():
    """The failing allocation's callers in our code, as the injector found
    them on the stack (innermost first; a word may be a stale one)."""
    with open(SEH, errors="replace") as f:
        words = re.findall(r"faults: stack ([0-9A-Fa-f]+)", f.read())
    names = []
    for name in (place(int(w, 16)) for w in words):
        if "orvane_faults.exe (anonymous namespace)::Failing" not in name and (not names or names[-1] != name):
            names.append(name)
    return names


SYMBOLS = {}


def module_symbols(name):
    """(image base, image size, sorted (address, function) of the code) of one of our binaries."""
    if name not in SYMBOLS:
        path = os.path.join(e2e.BUILD, "bin", name)
        text = subprocess.run([OBJDUMP, "-p", path], capture_output=True, text=True).stdout
        base = int(re.search(r"ImageBase\s+([0-9a-f]+)", text).group(1), 16)
        size = int(re.search(r"SizeOfImage\s+([0-9a-f]+)", text).group(1), 16)
        table = subprocess.run([NM, "-C", path], capture_output=True, text=True).stdout
        functions = sorted((int(line[:8], 16), line[11:]) for line in table.splitlines()
                           if line[9:10] in ("T", "t") and not line[11:].startswith("."))
        SYMBOLS[name] = (base, size, functions)
    return SYMBOLS[name]


def place(address):
    """The module and function an address lies in, with the source line where
    the binary knows it."""
    for name in MODULES:
        base, size, functions = module_symbols(name)
        if base <= address < base + size:
            before = [f for a, f in functions if a <= address]
            line = subprocess.run([ADDR2LINE, "-e", os.path.join(e2e.BUILD, "bin", name), hex(address)],
                                  capture_output=True, text=True).stdout.strip()
            line = "" if line.startswith("??") else " " + os.path.basename(line)
            return "%s %s%s" % (name, before[-1] if before else "?", line)
    return "%#x outside our modules" % address


def prepare():
    shutil.rmtree(FOLDER, ignore_errors=True)
    shutil.copytree(e2e.PROGRAM_DIR, FOLDER)
    shutil.copy(os.path.join(e2e.BUILD, "bin", "orvane_faults.exe"), FOLDER)


def run(n, timeout=40, fail_on=False):
    """(exit code or None when it had to be stopped, report dict)."""
    if os.path.exists(REPORT):
        os.remove(REPORT)
    # No debugger: a crash ends the process with its code.
    env = dict(os.environ, ORVANE_FAULT_REPORT=REPORT, WINEDEBUG="+seh,+debugstr", WINEDLLOVERRIDES="winedbg.exe=d")
    env["ORVANE_FAIL_FROM" if fail_on else "ORVANE_FAIL_ALLOCATION"] = str(n)
    process = subprocess.Popen([e2e.WINE, PROGRAM], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=open(SEH, "w"), env=env)
    try:
        code = process.wait(timeout)
    except subprocess.TimeoutExpired:
        code = None
        e2e.stop(process)
    report = {}
    if os.path.exists(REPORT):
        with open(REPORT) as f:
            report = {k: int(v) for k, _, v in (line.partition(" ") for line in f.read().split("\n") if line)}
    return code, report


def verdict(code, report, fail_on=False):
    """None when the run is sound; "early: ..." for a run that ended with exit
    code 0 before it showed its window (as the program does without a main
    window), or with memory gone for good before the scene's end,
    "degraded: ..." for one that runs on without its view; else what went
    wrong."""
    if code is None and (fail_on or report.get("frames_after", 0) < 20):
        return "stopped responding"
    if code is not None and code != 0:
        return "ended abnormally (exit code %#x) in %s" % (code & 0xFFFFFFFF, crash_site())
    if fail_on:
        return None if report.get("step", 0) >= 5 else "early: ended with exit code 0 at step %s" % report.get("step")
    if code == 0 and report.get("step", 0) < 5:
        if report.get("frames", 0) == 0 and report.get("failed_step", 0) == 0:
            return "early: ended with exit code 0 before it showed its window"
        return "closed itself before the scene's end (step %s)" % report.get("step")
    # A failure once the close was asked for (step 5) has no frames to follow it.
    if report.get("failed") and report.get("frames_after", 0) == 0 and report.get("failed_step", 0) < 5:
        if not report.get("view"):
            return "degraded: the view could not be made, so no frame is drawn"
        return "drew no frame after the failure (step %s)" % report.get("step")
    return None


def main():
    e2e.no_program_running()
    prepare()
    fail_on = "--from" in sys.argv
    code, base = run(0)
    check(code == 0 and base.get("step") == 5 and base.get("frames", 0) >= 120,
          "without a fault the scene runs to its end: exit %s, %s" % (code, base))
    total = base["allocations"]
    mode = sys.argv[2]
    if mode == "--all":
        points = list(range(1, total + 1))
    elif mode == "--sample":
        k = int(sys.argv[3])
        points = sorted({1 + (i * (total - 1)) // max(1, k - 1) for i in range(k)})
    else:
        points = [int(v) for v in sys.argv[3].split(",")]
    print("allocations in the scene: %d; points to sweep: %d%s"
          % (total, len(points), "; every allocation from each on fails" if fail_on else ""), flush=True)
    faults, reached, early, degraded = [], 0, 0, 0
    start = time.time()
    for n in points:
        code, report = run(n, fail_on=fail_on)
        wrong = verdict(code, report, fail_on)
        reached += report.get("failed", 0)
        if wrong:
            if wrong.startswith("early:"):
                early += 1
            elif wrong.startswith("degraded:"):
                degraded += 1
            else:
                faults.append((n, wrong))
            print("allocation %d: %s %s" % (n, wrong, report), flush=True)
            print("    asked through: %s" % " < ".join(failing_stack()[:8]), flush=True)
    print("swept %d points in %.0f s: failure reached in %d, %d sound, %d ended with exit code 0 before %s, "
          "%d without a view, %d faults"
          % (len(points), time.time() - start, reached, len(points) - len(faults) - degraded - early, early,
             "the scene's end" if fail_on else "their window", degraded, len(faults)), flush=True)
    check(not faults, "every run ends normally%s: %s"
          % ("" if fail_on else " and draws again after its failure", faults[:10]))


if __name__ == "__main__":
    try:
        main()
    except Failure as failure:
        print("FAILED:", failure)
        sys.exit(1)
