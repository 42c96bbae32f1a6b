#!/usr/bin/env bash
# The test command names the tests that passed only when run again, and any
# of them that is not on its allowed list fails the run; and its summary
# shows the lines in which every kind of test says why it failed.
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

# The summary's failure lines (the pattern as scripts/test.sh has it).
pattern=$(sed -n "s/^failure_lines='\(.*\)'$/\1/p" "$(dirname "$1")/test.sh")
[ -n "$pattern" ] || fail "no failure_lines in test.sh"
cat >"$log" <<'LOG'
FAIL: fonts: the other view's font is deleted
FAILED: the skin's caption is red at 144 DPI
src/view_test.cpp:12: Failure
[  FAILED  ] View.Draws (12 ms)
wine: Unhandled page fault on read access to 00000000
ok: the program drew its first frame
The following tests FAILED:
[  FAILED  ] 1 test, listed below:
LOG
got=$(grep -cE "$pattern" "$log")
[ "$got" = 5 ] || fail "failure lines: $got of 5 shown, or others with them: $(grep -E "$pattern" "$log")"
