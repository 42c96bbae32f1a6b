#!/usr/bin/env bash
# The test command names the tests that passed only when run again, and any
# of them that is not on its allowed list fails the run.
set -uo pipefail
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
fail() { echo "$1"; exit 1; }
got=$("$1" "$log")
[ $? -eq 1 ] || fail "second runs of unlisted tests passed the run"
[ "$got" = "flaky_one Slow.Case/1" ] || fail "got: '$got'"
"$1" "$log" flaky_one >/dev/null && fail "one unlisted second run (Slow.Case/1) passed the run"
"$1" "$log" Slow.Case/1 flaky_one >/dev/null || fail "listed second runs failed the run"
sed -i '/flaky_one\|Slow.Case/d' "$log"
got=$("$1" "$log") || fail "a log without second runs failed the run"
[ -z "$got" ] || fail "got: '$got'"
