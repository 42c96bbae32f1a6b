#!/usr/bin/env bash
# Builds the Windows release and its two zips:
#   build/win-release/release/orvane-demo-<version>-win32.zip
#   build/win-release/release/orvane-sdk-<version>-win32.zip
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset win-release >/dev/null
cmake --build --preset win-release -j2 --target package
ls -1 build/win-release/release/*.zip
