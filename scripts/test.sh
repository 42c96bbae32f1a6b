#!/usr/bin/env bash
# Builds everything and runs every test: the host build of the platform-neutral
# code (clang, AddressSanitizer + UndefinedBehaviorSanitizer), the 64-bit
# Windows build of the libraries (tests under 64-bit Wine) and the 32-bit
# Windows build, whose tests run under Wine and Xvfb. The 64-bit build comes
# first: the SDK's zip, made and tested by the 32-bit build, takes its files.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh || { echo "SUMMARY: FAILED (package set-up)"; exit 1; }

# The other MinGW toolchains that build the three libraries and their
# load/unload host test: the win32-thread-model GCC for x86 and x64, and
# clang with lld on the MinGW runtime for x64 (toolchain files in cmake/).
other_toolchains=(mingw-i686-win32 mingw-x86_64-win32 clang-mingw-x86_64)

# stop_wine: ends the Wine processes and Xvfb displays of every harness in the
# build tree (the tests' own, and those of tests with a prefix of their own).
stop_wine() {
    local stop home
    for stop in build/win64-release/harness/harness-stop.sh build/win-release/harness/harness-stop.sh \
        "${other_toolchains[@]/#/build/toolchain-}"; do
        stop=${stop%/harness/harness-stop.sh}/harness/harness-stop.sh
        [ -x "$stop" ] || continue
        for home in "$(dirname "$stop")" "$(dirname "$stop")"-* "$(dirname "$(dirname "$stop")")"/e2e/demo-command; do
            [ -d "$home" ] && HARNESS_HOME="$PWD/$home" "$stop"
        done
    done
    return 0
}
trap stop_wine EXIT

log_dir=build/logs
mkdir -p "$log_dir"
status=0

# What a failing test prints that says why: a failed check of ours (the C++
# programs' "FAIL: ", the Python scripts' "FAILED: ") or of GoogleTest, and an
# unhandled exception that Wine reports.
failure_lines='^FAIL(ED)?: |: Failure$|^\[  FAILED  \] [A-Za-z]|[Uu]nhandled (page fault|exception)'

# build_preset NAME: configure and build one preset; false (and says why)
# when either fails.
build_preset() {
    local preset=$1
    if ! cmake --preset "$preset" >"$log_dir/$preset-configure.log" 2>&1; then
        cat "$log_dir/$preset-configure.log"; echo "$preset: configure FAILED"; status=1; return 1
    fi
    if ! cmake --build --preset "$preset" -j2 >"$log_dir/$preset-build.log" 2>&1; then
        grep -E "error|Error" "$log_dir/$preset-build.log" | head -40; echo "$preset: build FAILED"; status=1; return 1
    fi
}

# test_preset NAME JOBS [REPEAT]: one preset's tests; prints its ctest tally
# and the lines that say why a test failed.
test_preset() {
    local preset=$1 jobs=$2 repeat=${3:-}
    ctest --preset "$preset" -j"$jobs" --output-on-failure $repeat 2>&1 | tee "$log_dir/$preset-test.log" |
        grep -E "tests passed|tests failed|\*\*\*Failed|\*\*\*Timeout|Not Run|Exception|$failure_lines" || true
    grep -q "100% tests passed" "$log_dir/$preset-test.log" || status=1
}

tally() {
    grep -Eo "tests failed out of [0-9]+" "$log_dir/$1-test.log" 2>/dev/null | grep -Eo "[0-9]+$" || echo 0
}
failed() {
    grep -Eo "[0-9]+ tests failed" "$log_dir/$1-test.log" 2>/dev/null | grep -Eo "^[0-9]+" || echo "?"
}

# Windows tests allowed to pass only on their second run, each with the cause
# in Wine that makes it flaky, one a line: "    name   # cause". Empty: a test
# that fails once fails the run, even when its second run passes.
second_run_allowed=(
)

# run_toolchain NAME: the libraries and the host test of their loading and
# unloading, built with cmake/NAME.cmake; their imports and exports checked
# and the test run under Wine. Prints one line.
toolchain_failures=()
run_toolchain() {
    local name=$1 dir=build/toolchain-$1 log=$log_dir/toolchain-$1.log
    if cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/$name.cmake" \
            -DCMAKE_BUILD_TYPE=Release >"$log" 2>&1 &&
        cmake --build "$dir" -j2 --target orvane md2ex pelmar cycles_host >>"$log" 2>&1 &&
        ctest --test-dir "$dir" -R '^(program_binaries|library_cycles)$' --output-on-failure >>"$log" 2>&1; then
        echo "$name: libraries built, imports, exports and load/unload cycles as expected"
    else
        grep -E "error|FAIL|Failed|undefined" "$log" | head -20
        echo "$name: FAILED (log in $log)"
        toolchain_failures+=("$name")
        status=1
    fi
}

build_preset host-asan && test_preset host-asan 2
# The 64-bit build comes first: the 32-bit build's SDK zip takes its files.
built64=0; build_preset win64-release || built64=1
built32=0; build_preset win-release || built32=1
# A Windows test that fails is run once more, so that the summary can tell a
# flaky test from a broken one; either fails the run unless listed above.
# The two builds' tests run side by side, each in its own Wine prefix and X
# display (the harness of its build folder); the 64-bit tally is printed when
# both are done.
if [ $built64 -eq 0 ]; then
    test_preset win64-release 1 "--repeat until-pass:2" >"$log_dir/win64-release-summary.txt" 2>&1 &
    tests64=$!
fi
[ $built32 -eq 0 ] && test_preset win-release 1 "--repeat until-pass:2"
if [ $built64 -eq 0 ]; then
    wait "$tests64"
    cat "$log_dir/win64-release-summary.txt"
    grep -q "100% tests passed" "$log_dir/win64-release-test.log" || status=1
fi
for toolchain in "${other_toolchains[@]}"; do run_toolchain "$toolchain"; done

# path_tally LABEL: "passed/total" of the Windows tests with that label (the
# view control's two ways of presenting frames run the same tests twice), and
# how many of them skip themselves on that way.
path_tally() {
    local names total passed skipped
    names=$(ctest --test-dir build/win-release -N -L "^$1\$" 2>/dev/null | sed -nE 's/^ *Test +#[0-9]+: (.*)$/\1/p')
    total=$(printf '%s\n' "$names" | grep -c . || true)
    count() {
        sed -nE "s/^.*Test +#[0-9]+: ([^ ]+) \\.+ *(\\*\\*\\*)?$1.*\$/\\1/p" "$log_dir/win-release-test.log" |
            grep -cxF -f <(printf '%s\n' "$names") || true
    }
    passed=$(count Passed)
    skipped=$(count Skipped)
    echo "$passed/$total passed${skipped:+, $skipped skipped}" | sed 's/, 0 skipped//'
}

# Nothing of ours keeps running: every Wine prefix and Xvfb the tests started
# in the build tree is stopped, and the process list must then show none.
stop_wine
if left=$(scripts/leftovers.sh build); then :; else
    echo "left running after the tests:"; echo "$left"; status=1
fi

host_total=$(tally host-asan); host_failed=$(failed host-asan)
wine_total=$(tally win-release); wine_failed=$(failed win-release)
wine64_total=$(tally win64-release); wine64_failed=$(failed win64-release)
# A test that passed only on its second run is named, and fails the run unless listed.
second64=$(scripts/second_runs.sh "$log_dir/win64-release-test.log" "${second_run_allowed[@]}" 2>/dev/null) ||
    status=1
second=$(scripts/second_runs.sh "$log_dir/win-release-test.log" "${second_run_allowed[@]}" 2>/dev/null) ||
    status=1
second64=$(printf '%s' "$second64" | sed -E 's/([^ ]+)/x64:\1/g')
second=$(echo $second $second64)
verdict=PASSED; [ $status -eq 0 ] || verdict=FAILED
echo "SUMMARY: $verdict - host tests: $((host_total - ${host_failed/\?/0}))/$host_total passed, Windows tests under Wine: $((wine_total - ${wine_failed/\?/0}))/$wine_total passed, x64 under 64-bit Wine: $((wine64_total - ${wine64_failed/\?/0}))/$wine64_total passed (32-bit view on its own context: $(path_tally native), on a hidden surface: $(path_tally surface)), other toolchains: $((${#other_toolchains[@]} - ${#toolchain_failures[@]}))/${#other_toolchains[@]} passed${toolchain_failures[*]:+ (failed: ${toolchain_failures[*]})}, passed only on a second run: ${second:-none} (logs in $log_dir)"
exit $status
