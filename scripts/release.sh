#!/usr/bin/env bash
# Builds the Windows release and its two zips:
#   build/win-release/release/orvane-demo-<version>-win32.zip
#   build/win-release/release/orvane-sdk-<version>-win32.zip
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
# The SDK's 64-bit files come from the 64-bit build.
cmake --preset win64-release >/dev/null
cmake --build --preset win64-release -j2 --target release_binaries
cmake --preset win-release >/dev/null
cmake --build --preset win-release -j2 --target package
ls -1 build/win-release/release/*.zip
