#!/usr/bin/env bash
# Builds the release builds and runs every benchmark, each against its floor
# in the same run; prints one table in the form of docs/benchmarks.md, then
# the table of the libraries on x64 beside x86.
# Usage: scripts/bench.sh [--write] [--soak-minutes M] [--drags N] [--runs N]
#   --write  also rewrites docs/benchmarks.md with the table
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
mkdir -p build/logs
cmake --preset win-release >build/logs/bench-configure.log
cmake --build --preset win-release -j2 >build/logs/bench-build.log
cmake --preset win64-release >build/logs/bench64-configure.log
cmake --build --preset win64-release -j2 >build/logs/bench64-build.log
# The host build of the model benchmark (Google Benchmark) is optional.
if cmake --preset host-release >build/logs/bench-host-configure.log 2>&1; then
    cmake --build --preset host-release -j2 --target md2_bench >build/logs/bench-host-build.log 2>&1 || true
fi
# Whatever the outcome, the harness's Wine processes and Xvfb end with the run.
trap 'build/win-release/harness/harness-stop.sh; build/win64-release/harness/harness-stop.sh' EXIT
/usr/bin/python3 tests/bench/bench_all.py build/win-release build/host-release "$@" 2>build/logs/bench.log
# The libraries on x64 beside x86 (not written into docs/benchmarks.md by --write).
echo
/usr/bin/python3 tests/bench/arch_bench.py build/win-release build/win64-release 2>build/logs/arch-bench.log
