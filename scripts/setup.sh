#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing) and configures and builds one build
# folder. Usage: scripts/setup.sh BUILD_DIR [CMAKE_OPTIONS...]
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-packages.sh" cmake g++ make libgtest-dev

build="$1"
shift
cmake -S "$top" -B "$build" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
