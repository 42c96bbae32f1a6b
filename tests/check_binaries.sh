#!/bin/sh
# Checks a folder of our binaries (the runnable program, the release's copies
# or a program built against the SDK): every .exe and .dll imports statically
# only the system's known libraries, which Windows always takes from the
# system folder, and our own three (any other system library is imported
# late and resolved from the system folder); each library exports exactly the
# undecorated names of its export list, each at its fixed ordinal.
# Usage: check_binaries.sh OBJDUMP FOLDER CONTRACTS_DIR
objdump=$1 dir=$2 contracts=$3
status=0
allowed='^(kernel32|user32|gdi32|advapi32|ole32|oleaut32|shell32|shlwapi|comdlg32|msvcrt|orvane|md2ex|pelmar)\.dll$'
for file in "$dir"/*.exe "$dir"/*.dll; do
    [ -f "$file" ] || continue
    for dll in $("$objdump" -p "$file" | sed -n 's/^\s*DLL Name: //p'); do
        if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$allowed"; then
            echo "$(basename "$file") imports $dll"
            status=1
        fi
    done
done
for lib in orvane md2ex pelmar; do
    want=$(sed -n 's/^\s*\([A-Za-z_][A-Za-z0-9_]*\)@[0-9]*\s\s*@\([0-9]*\)\s*$/\1@\2/p' "$contracts/$lib.def" | sort)
    have=$("$objdump" -p "$dir/$lib.dll" | awk '/Ordinal Base/{base=$NF}
        /\[Ordinal\/Name Pointer\] Table/{t=1;next} t&&/\[/{gsub(/[][]/," ");print $2 "@" $1+base} t&&/^$/{t=0}' | sort)
    if [ "$want" != "$have" ]; then
        echo "$lib.dll exports differ from $lib.def:"
        echo "  want: $(echo $want)"
        echo "  have: $(echo $have)"
        status=1
    fi
done
[ $status -eq 0 ] && echo "imports and exports as expected"
exit $status
