#!/usr/bin/python3
"""The libraries on x64 beside x86, in the same run: the picture load (and
its bare WIC floor), the frame (RenderFrame and its floor of clear,
background quad and present) and the model draw, each program run in turns
on the two architectures (each under its own build's Wine prefix), medians
of the runs. Prints a table in the form of docs/benchmarks.md.

Usage: arch_bench.py X86_BUILD_DIR X64_BUILD_DIR [--runs N]
"""
import argparse
import os
import statistics

import bench_all
from bench_all import number


def run(build, program, *args):
    """A program of the build's bin folder under that build's Wine prefix."""
    bin_dir = os.path.join(build, "bin")
    return bench_all.run([os.path.join(build, "harness", "wine-run.sh"), os.path.join(bin_dir, program), *args],
                         cwd=bin_dir)


def measure(build):
    pictures = run(build, "orvane_bench.exe")
    view = run(build, "view_bench.exe", "200")
    floor = number(r"floor \(clear, background quad, present\)\s+([\d.]+)", view)
    return {
        "load": number(r"QI_CreateGLTextureFromFileEX\s+([\d.]+)", pictures),
        "wic": number(r"bare WIC decode\s+([\d.]+)", pictures),
        "frame": number(r"RenderFrame\s+([\d.]+)", view),
        "floor": floor,
        "model": number(r"floor \+ model only\s+([\d.]+)", view) - floor,
    }


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("x86_build")
    parser.add_argument("x64_build")
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    builds = {"x86": os.path.abspath(args.x86_build), "x64": os.path.abspath(args.x64_build)}
    samples = {arch: [] for arch in builds}
    for _ in range(args.runs):
        for arch, build in builds.items():
            samples[arch].append(measure(build))
    median = {arch: {k: statistics.median(s[k] for s in runs) for k in runs[0]} for arch, runs in samples.items()}
    x86, x64 = median["x86"], median["x64"]
    rows = [
        ("Picture load (1024x512 JPEG), floor: bare WIC decode", "load", "wic"),
        ("RenderFrame, floor: clear + background + present", "frame", "floor"),
        ("Model draw (RenderFrame's model alone, over the floor)", "model", None),
    ]
    print("| what | x86: figure (floor) | x64: figure (floor) | x64 / x86 |")
    print("|---|---|---|---|")
    for what, key, floor in rows:
        cell = lambda m: "%.2f ms" % m[key] + (" (%.2f ms)" % m[floor] if floor else "")
        print("| %s | %s | %s | %.2f |" % (what, cell(x86), cell(x64), x64[key] / x86[key]))


if __name__ == "__main__":
    main()
