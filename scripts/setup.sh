#!/usr/bin/env bash
# Installs what building and testing need on Debian 12 or 13, generates the
# locales the tests use, and builds into build/ (and the Windows programs
# into build-windows/). Sourced by run-demo and run-tests; safe to run again
# (it only installs what is missing).
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    fonts-liberation2 fonts-dejavu-core locales
    xvfb xauth xdotool x11-utils libx11-dev imagemagick
    libbenchmark-dev googletest util-linux python3 desktop-file-utils
    g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 openbox
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# The number and time texts are checked under these locales.
wanted_locales=(de_DE.UTF-8 ru_RU.UTF-8 en_US.UTF-8 ko_KR.UTF-8)
need_gen=0
for l in "${wanted_locales[@]}"; do
    short="${l%.UTF-8}.utf8"
    if ! locale -a 2>/dev/null | grep -qx "$short"; then
        as_root sed -i "s/^# *\(${l} UTF-8\)/\1/" /etc/locale.gen
        grep -q "^${l} UTF-8" /etc/locale.gen || echo "${l} UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
        need_gen=1
    fi
done
[ "$need_gen" -eq 0 ] || as_root locale-gen >/dev/null

cmake -S "$repo" -B "$repo/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTHERMOMETER_BENCH=ON \
    -DTHERMOMETER_WINDOWS_BUILD="$repo/build-windows" >/dev/null
cmake --build "$repo/build" -j"$(nproc)"

# The Windows programs and the core's tests for Windows, cross-built with
# MinGW-w64; the Linux build's test suite runs them under Wine. Only the
# tests need them: run-demo sets THERMOMETER_LINUX_ONLY to skip this.
if [ -z "${THERMOMETER_LINUX_ONLY:-}" ]; then
    cmake -S "$repo" -B "$repo/build-windows" -DCMAKE_BUILD_TYPE=Release -DTHERMOMETER_BENCH=ON \
        -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" >/dev/null
    cmake --build "$repo/build-windows" -j"$(nproc)"
fi
