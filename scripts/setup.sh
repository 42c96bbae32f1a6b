#!/usr/bin/env bash
# Installs, with apt-get, whatever of the build and test packages this Debian
# machine lacks. Quick when everything is already there.
set -euo pipefail

packages=(
    cmake ninja-build git clang libclang-rt-14-dev
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 googletest libgtest-dev libbenchmark-dev libstb-dev
    wine wine32:i386 wine64 fonts-wine fonts-liberation fonts-dejavu-core
    xvfb xauth x11-utils libgl1-mesa-dri:i386 libglx-mesa0:i386 libgl1:i386
    libgl1-mesa-dri libglx-mesa0 libgl1
    imagemagick xdotool python3 python3-pil
    llvm-14 lld-14
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
fi
as_root apt-get update -qq
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
