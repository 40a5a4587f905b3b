#!/usr/bin/env bash
# Installs the Debian packages needed to build, run and test KenvoPlat. Safe to run again:
# it only installs what is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build ccache pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev
    locales
    libreoffice-calc-nogui
    qt6-base-dev qt6-multimedia-dev qt6-svg-dev libgl-dev fonts-liberation
    xvfb xauth poppler-utils xclip
    file help2man lintian
    libfftw3-dev nlohmann-json3-dev libsqlite3-dev
    python3-numpy python3-scipy
)

# A locale with a decimal comma, so the tests see numbers the way many users do.
ensure_test_locale() {
    locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' && return 0
    [ -f /etc/locale.gen ] || return 0
    $SUDO sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
    $SUDO locale-gen >/dev/null
}

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
ensure_test_locale
