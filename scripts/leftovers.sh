#!/usr/bin/env bash
# Lists the processes still running with a Wine prefix under ROOT (Wine's
# server, its services and programs, and the harness's Xvfb, which is started
# with the prefix in its environment): "pid command" a line. Exits 1 when there
# is any, 0 when none is left.
# Usage: scripts/leftovers.sh ROOT
set -uo pipefail
root=$(realpath -m "$1")
found=0
for dir in /proc/[0-9]*; do
    [ "${dir#/proc/}" = "$$" ] && continue
    prefix=$(tr '\0' '\n' 2>/dev/null <"$dir/environ" | sed -n 's/^WINEPREFIX=//p' | head -1)
    [ -n "$prefix" ] || continue
    case "$(realpath -m "$prefix")/" in
        "$root"/*)
            echo "${dir#/proc/} $(tr '\0' ' ' 2>/dev/null <"$dir/cmdline" | cut -c1-120)"
            found=1 ;;
    esac
done
exit $found
