#!/usr/bin/env bash
# Prints, on one line, the names of the tests in a CTest log (run with
# --repeat until-pass) that failed once and then passed on a later run.
set -euo pipefail
awk '
/Test +#[0-9]+: / {
    name = $0
    sub(/.*Test +#[0-9]+: /, "", name)
    sub(/ \.+.*$/, "", name)
    if ($0 ~ /\*\*\*|Exception/) failed[name] = 1
    else if ($0 ~ / Passed / && (name in failed) && !(name in shown)) { shown[name] = 1; list = list (list ? " " : "") name }
}
END { print list }' "$1"
