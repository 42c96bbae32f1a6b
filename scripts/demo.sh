#!/usr/bin/env bash
# Builds the demo and starts it under Wine, in a Wine virtual desktop so that
# Wine draws window frames as Windows does. Without a display it runs the demo
# for a few seconds on a private Xvfb, saves a screenshot and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake --preset win-release >/dev/null
cmake --build --preset win-release -j2 >/dev/null
program="$PWD/build/win-release/program/orvane_demo.exe"

export WINEPREFIX="$PWD/build/demo-prefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
prepare_prefix() {
    if [ ! -f "$WINEPREFIX/.ready" ]; then
        wineboot -i >/dev/null 2>&1
        mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
        cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
        wineserver -w
        touch "$WINEPREFIX/.ready"
    fi
}

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    prepare_prefix
    exec wine explorer /desktop=OrvaneDemo,1024x768 "$program"
fi

# No display: run on our own Xvfb and take a screenshot.
fifo_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo_file" </dev/null >/dev/null 2>&1 &
xvfb_pid=$!
trap 'wineserver -k 2>/dev/null || true; kill $xvfb_pid 2>/dev/null || true; rm -f "$fifo_file"' EXIT
for _ in $(seq 100); do grep -q '[0-9]' "$fifo_file" && break; sleep 0.05; done
export DISPLAY=":$(tr -dc 0-9 <"$fifo_file")"
prepare_prefix
wine explorer /desktop=OrvaneDemo,1024x768 "$program" </dev/null >/dev/null 2>&1 &
sleep "${DEMO_SECONDS:-8}"
shot="$PWD/build/demo-screenshot.png"
import -window root "$shot"
echo "Screenshot of the running demo: $shot"
