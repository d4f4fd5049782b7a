#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing) and configures and builds one build
# folder. Usage: scripts/setup.sh BUILD_DIR [CMAKE_OPTIONS...]
set -euo pipefail

# qt6-base-dev: the window program krav (Qt 6 Widgets and Qt Test); fonts-dejavu-core: a font for the window
# on the offscreen platform, where its tests and screenshots run without a display.
packages=(cmake g++ make libgtest-dev qt6-base-dev fonts-dejavu-core)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi

top=$(cd "$(dirname "$0")/.." && pwd)
build="$1"
shift
cmake -S "$top" -B "$build" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
