#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need; does nothing when all are present.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-charts-dev libqt6opengl6-dev   # Charts' CMake config needs the OpenGL one
    libqt6svg6                                      # SVG icon engine for the window icon
    qt6-translations-l10n                           # German texts of Qt's standard buttons
    libgtest-dev libgmock-dev
    fonts-dejavu-core fontconfig
    locales                                         # a German C library locale for the tests
    xvfb xdotool imagemagick x11-utils libx11-dev   # real-window test and headless start
    time python3                                    # benchmark
)
if [[ "${NOTEN_WITH_CLANG:-0}" == 1 ]]; then
    packages+=(clang libclang-rt-14-dev)            # fuzzing and sanitizer builds
fi

sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)

# The tests check that a German process locale (decimal comma) changes no conversion.
ensure_german_locale() {
    locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' && return 0
    "${sudo[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "warning: de_DE.UTF-8 not generated" >&2
}

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
if [[ ${#missing[@]} -eq 0 ]]; then
    ensure_german_locale
    exit 0
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
ensure_german_locale
