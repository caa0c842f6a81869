#!/usr/bin/env bash
# Installs, with apt-get, whichever build and test packages this machine lacks.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libqt6opengl6-dev libxkbcommon-dev libgl-dev libgl1-mesa-dri
    xvfb xauth xdotool x11-utils fonts-dejavu-core openbox imagemagick qt6-translations-l10n
    desktop-file-utils libxml2-utils
    libcli11-dev libglm-dev libpng-dev zlib1g-dev libgtest-dev libgmock-dev libbenchmark-dev
    locales
    clang libclang-rt-dev
    pngcheck ffmpeg parallel
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $SUDO apt-get update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The number-format tests run under a French locale.
if ! locale -a 2>/dev/null | grep -qi '^fr_FR\.utf-\?8$'; then
    $SUDO sed -i 's/^# *\(fr_FR.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^fr_FR.UTF-8 UTF-8' /etc/locale.gen || echo 'fr_FR.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
    $SUDO locale-gen
fi
