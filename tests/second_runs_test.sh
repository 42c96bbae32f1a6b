#!/usr/bin/env bash
# The test command names the tests that passed only when run again.
set -euo pipefail
log=$(mktemp)
trap 'rm -f "$log"' EXIT
cat >"$log" <<'LOG'
1/4 Test #1: flaky_one ..........***Failed    0.10 sec
    Test #1: flaky_one ..........   Passed    0.10 sec
2/4 Test #2: good ...............   Passed    0.10 sec
3/4 Test #3: bad ................***Failed    0.10 sec
    Test #3: bad ................***Failed    0.10 sec
4/4 Test #4: Slow.Case/1 ........***Timeout  10.00 sec
    Test #4: Slow.Case/1 ........   Passed    1.00 sec
LOG
got=$("$1" "$log")
[ "$got" = "flaky_one Slow.Case/1" ] || { echo "got: '$got'"; exit 1; }
