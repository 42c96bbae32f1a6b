#!/bin/sh
# The SDK's headers as other programs compile them: a C and a C++ file that
# include all four headers (twice), check the version macros against the
# project's version and give every export of the .def files its PFN_ type,
# compiled with -Wall -Wextra -pedantic -Werror (-fsyntax-only) as C99, C11,
# C17 and C++11, 14, 17, 20 by MinGW-w64's gcc (i686, x86_64) and by clang
# in the Microsoft ABI (i686, x86_64; with MinGW's windows.h, which needs the
# GNU version macro and _X86_ there). Prints one line per compile and the
# diagnostics of any that is not clean.
# Usage: sdk_headers.sh CONTRACTS_DIR VERSION WORK_DIR CLANG MINGW_INCLUDE_DIR
contracts=$1 version=$2 work=$3 clang=$4 mingw_include=$5
mkdir -p "$work" || exit 1
major=${version%%.*} rest=${version#*.}
minor=${rest%%.*} patch=${rest#*.}
[ "$patch" = "$rest" ] && patch=0

{
    for header in orvane.h md2ex.h pelmar.h anchor_codes.h orvane.h md2ex.h pelmar.h anchor_codes.h; do
        echo "#include \"$header\""
    done
    for lib in ORVANE MD2EX PELMAR; do
        echo "#if ${lib}_VERSION_MAJOR != $major || ${lib}_VERSION_MINOR != $minor || ${lib}_VERSION_PATCH != $patch"
        echo "#error \"${lib}_VERSION_MAJOR/MINOR/PATCH differ from the project's version $version\""
        echo "#endif"
    done
    # Each call's PFN_ type must take the call itself.
    sed -n 's/^\s*\([A-Za-z_][A-Za-z0-9_]*\)@[0-9].*$/PFN_\1 use_\1 = \1;/p' "$contracts"/*.def
    echo "enum AnchorCode last_code = ANCHOR_CENTRE_STRETCH;"
} > "$work/all_headers.c"
cp "$work/all_headers.c" "$work/all_headers.cpp"

flags="-Wall -Wextra -pedantic -Werror -fsyntax-only -I$contracts"
msvc_flags="-fgnuc-version=4.2.1 -isystem $mingw_include"
compile() {  # name, compiler and its options...; the standard and file come last
    name=$1
    shift
    out="$work/$(echo "$name" | tr ' +=/' '_px_').log"
    if "$@" >"$out" 2>&1; then echo "ok     $name"; else echo "FAILED $name"; fi >"$out.result"
}
for std in c99 c11 c17 c++11 c++14 c++17 c++20; do
    case $std in
        c++*) file=$work/all_headers.cpp gcc=g++ cl=${clang}++ ;;
        *) file=$work/all_headers.c gcc=gcc cl=$clang ;;
    esac
    case $clang in *-[0-9]*) [ "$cl" = "${clang}++" ] && cl=$(echo "$clang" | sed 's/\(clang\)\(-[0-9]*\)$/\1++\2/') ;; esac
    compile "i686 mingw gcc -std=$std" i686-w64-mingw32-$gcc $flags -std=$std "$file" &
    compile "x86_64 mingw gcc -std=$std" x86_64-w64-mingw32-$gcc $flags -std=$std "$file" &
    compile "i686 msvc clang -std=$std" "$cl" --target=i686-pc-windows-msvc -D_X86_ $msvc_flags $flags \
        -std=$std "$file" &
    compile "x86_64 msvc clang -std=$std" "$cl" --target=x86_64-pc-windows-msvc $msvc_flags $flags \
        -std=$std "$file" &
    wait
done

status=0 total=0 clean=0
for result in "$work"/*.result; do
    total=$((total + 1))
    cat "$result"
    if grep -q '^ok' "$result"; then
        clean=$((clean + 1))
    else
        status=1
        head -n 20 "${result%.result}"
    fi
done
rm -f "$work"/*.result
echo "$clean of $total compiles clean"
[ $total -eq 28 ] || { echo "FAILED: 28 compiles expected"; status=1; }
[ $status -eq 0 ] || echo "FAILED: the SDK's headers are not clean in every compiler and standard"
exit $status
