#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing) and configures and builds one build
# folder. Usage: scripts/setup.sh BUILD_DIR [CMAKE_OPTIONS...]
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
# qt6-base-dev: the window program krav (Qt 6 Widgets and Qt Test); fonts-dejavu-core: a font for the window
# on the offscreen platform, where its tests and screenshots run without a display.
"$top/scripts/install-packages.sh" cmake g++ make libgtest-dev qt6-base-dev fonts-dejavu-core

build="$1"
shift
cmake -S "$top" -B "$build" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
