#!/usr/bin/python3
"""The allocation fault sweep: runs the program built with the fault
injector (orvane_faults.exe) once without a fault to count the allocations of
its scene, then once for each allocation number N (--all) or for a spread
sample of them (--sample K), with allocation N failing. Every run must end
with exit code 0, and one whose failure was reached must show frames after it.

Usage: sweep.py BUILD_DIR (--all | --sample K | --points N,N,...)
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
OBJDUMP, ADDR2LINE = "i686-w64-mingw32-objdump", "i686-w64-mingw32-addr2line"


def crash_site():
    """Where the last unhandled exception of the run was raised: the module's
    source file and function, from the debug information of our binaries."""
    address = None
    with open(SEH, errors="replace") as f:
        for line in f:
            m = re.search(r"dispatch_exception code=([0-9a-f]+) flags=\w+ addr=([0-9A-Fa-f]+)", line)
            if m and m.group(1) not in ("406d1388", "e06d7363", "20474343"):   # thread names, C++ throws
                address = int(m.group(2), 16)
    if address is None:
        return "unknown place"
    for name in MODULES:
        path = os.path.join(e2e.BUILD, "bin", name)
        text = subprocess.run([OBJDUMP, "-p", path], capture_output=True, text=True).stdout
        base = int(re.search(r"ImageBase\s+([0-9a-f]+)", text).group(1), 16)
        size = int(re.search(r"SizeOfImage\s+([0-9a-f]+)", text).group(1), 16)
        if base <= address < base + size:
            where = subprocess.run([ADDR2LINE, "-f", "-C", "-e", path, hex(address)], capture_output=True,
                                   text=True).stdout.split("\n")
            return "%s %s %s" % (name, where[0], where[1] if len(where) > 1 else "")
    return "%#x outside our modules" % address


def prepare():
    shutil.rmtree(FOLDER, ignore_errors=True)
    shutil.copytree(e2e.PROGRAM_DIR, FOLDER)
    shutil.copy(os.path.join(e2e.BUILD, "bin", "orvane_faults.exe"), FOLDER)


def run(n, timeout=40):
    """(exit code or None when it had to be stopped, report dict)."""
    if os.path.exists(REPORT):
        os.remove(REPORT)
    # No debugger: a crash ends the process with its code.
    env = dict(os.environ, ORVANE_FAIL_ALLOCATION=str(n), ORVANE_FAULT_REPORT=REPORT, WINEDEBUG="+seh",
               WINEDLLOVERRIDES="winedbg.exe=d")
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


def in_runtime():
    """Whether the run ended in the toolchain's own runtime: its threads
    library (which does not check its lazy allocations) or the C++ runtime's
    lock for function statics (which ends the process when that lock cannot be
    made)."""
    with open(SEH, errors="replace") as f:
        text = f.read()
    return "__concurrence_lock_error" in text or "winpthreads" in crash_site()


def verdict(code, report):
    """None when the run is sound, "runtime: ..." for an end inside the
    toolchain's runtime, else what went wrong."""
    if code is not None and code != 0 and in_runtime():
        return "runtime: ended abnormally (exit code %#x) in %s" % (code & 0xFFFFFFFF, crash_site())
    if code is None and report.get("frames_after", 0) < 20:
        return "stopped responding"
    if code is not None and code != 0:
        return "ended abnormally (exit code %#x) in %s" % (code & 0xFFFFFFFF, crash_site())
    # A failure once the close was asked for (step 5) has no frames to follow it.
    if report.get("failed") and report.get("frames_after", 0) == 0 and report.get("failed_step", 0) < 5:
        if not report.get("view"):
            return "degraded: the view could not be made, so no frame is drawn"
        return "drew no frame after the failure (step %s)" % report.get("step")
    return None


def main():
    e2e.no_program_running()
    prepare()
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
    print("allocations in the scene: %d; points to sweep: %d" % (total, len(points)), flush=True)
    faults, runtime, reached, early, degraded = [], [], 0, 0, 0
    start = time.time()
    for n in points:
        code, report = run(n)
        wrong = verdict(code, report)
        reached += report.get("failed", 0)
        if code == 0 and report.get("step", 0) < 5:
            early += 1
            print("allocation %d: ended with exit code 0 before the scene's end %s" % (n, report), flush=True)
        if wrong:
            if wrong.startswith("degraded:"):
                degraded += 1
            else:
                (runtime if wrong.startswith("runtime:") else faults).append((n, wrong))
            print("allocation %d: %s %s" % (n, wrong, report), flush=True)
    print("swept %d points in %.0f s: failure reached in %d, %d ended early with exit code 0, %d sound, "
          "%d without a view, %d ended in the toolchain's runtime, %d faults of ours"
          % (len(points), time.time() - start, reached, early, len(points) - len(faults) - len(runtime) - degraded,
             degraded, len(runtime), len(faults)), flush=True)
    check(not faults, "every run ends normally and draws again after its failure: %s" % faults[:10])


if __name__ == "__main__":
    try:
        main()
    except Failure as failure:
        print("FAILED:", failure)
        sys.exit(1)
