#!/usr/bin/env bash
# Builds the demo and starts it under Wine, in the build tree's Wine prefix,
# whose virtual desktop makes Wine draw window frames as Windows does. On a
# desktop it opens there. Without a display it runs the demo on the test
# harness's own Xvfb until the program has drawn its first frame, saves a
# screenshot, stops everything it started and prints the screenshot's path,
# and nothing else.
#   --no-build              run what is built, as it is (the command's own test)
#   DEMO_SCREENSHOT=<file>  where the screenshot goes
#   HARNESS_HOME=<folder>   the Wine prefix and display kept there instead
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" != "--no-build" ]; then
    scripts/setup.sh >&2
    cmake --preset win-release >/dev/null
    cmake --build --preset win-release -j2 >/dev/null
fi
tree="$PWD/build/win-release"
program="$tree/program/orvane_demo.exe"
harness="$tree/harness"
home="${HARNESS_HOME:-$harness}"
# Wine processes of an earlier run belong to another display: end them.
"$harness/harness-stop.sh"

# The first start of Wine creates and boots its prefix, behind a dialog of its
# own: that happens before the program starts, on a display of our own.
if ! [ -f "$home/prefix.ready" ]; then
    if ! "$harness/wine-run.sh" --ready; then
        "$harness/harness-stop.sh"
        echo "demo: Wine could not set up its prefix in $home" >&2
        exit 1
    fi
fi

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    "$harness/harness-stop.sh"
    HARNESS_DISPLAY="$DISPLAY" exec "$harness/wine-run.sh" "$program"
fi

# No display: the harness's Xvfb, and a screenshot once the first frame is drawn.
trap '"$harness/harness-stop.sh"' EXIT
"$harness/wine-run.sh" "$program" </dev/null >/dev/null 2>&1 &
disown
shot="${DEMO_SCREENSHOT:-$PWD/build/demo-screenshot.png}"
/usr/bin/python3 scripts/first_frame.py "$tree" "$shot" || exit 1
echo "$shot"
