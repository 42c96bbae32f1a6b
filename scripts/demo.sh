#!/usr/bin/env bash
# Builds the demo and starts it under Wine, in the build tree's Wine prefix,
# whose virtual desktop makes Wine draw window frames as Windows does. On a
# desktop it opens there; without a display it runs the demo for a few
# seconds on the test harness's own Xvfb, saves a screenshot and prints its
# path.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake --preset win-release >/dev/null
cmake --build --preset win-release -j2 >/dev/null
program="$PWD/build/win-release/program/orvane_demo.exe"
harness="$PWD/build/win-release/harness"
# Wine processes of an earlier run belong to another display: end them.
"$harness/harness-stop.sh"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    HARNESS_DISPLAY="$DISPLAY" exec "$harness/wine-run.sh" "$program"
fi

# No display: the harness's Xvfb, and a screenshot.
trap '"$harness/harness-stop.sh"' EXIT
"$harness/wine-run.sh" "$program" </dev/null >/dev/null 2>&1 &
sleep "${DEMO_SECONDS:-8}"
shot="$PWD/build/demo-screenshot.png"
DISPLAY="$(cat "$harness/display")" import -window root "$shot"
echo "Screenshot of the running demo: $shot"
