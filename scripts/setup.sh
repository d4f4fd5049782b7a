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

# A Release build made with g++ for this machine is profile-guided: krav-cli is built instrumented, trained
# on generated logs (scripts/pgo-train.sh), and everything is built again with the profile. The profile is
# kept while the sources it was made from stay the same. KRAV_PGO=0 in the environment builds without one.
# The compiler is the one CMake picks: $CXX, else c++.
compiler=${CXX:-c++}
pgo=0
if [ "${KRAV_PGO:-1}" != 0 ] && [[ " $* " == *" -DCMAKE_BUILD_TYPE=Release "* ]] &&
    [[ " $* " != *" -DCMAKE_TOOLCHAIN_FILE="* ]] && [[ " $* " != *" -DCMAKE_CXX_COMPILER="* ]] &&
    "$compiler" --version 2>/dev/null | grep -q "Free Software Foundation"; then
    pgo=1
fi
if [ "$pgo" = 1 ]; then
    # The profile belongs to these sources and this compiler.
    sources_id=$( (cd "$top" && "$compiler" -dumpfullversion &&
        find platform engine recognisers output cli bench data examples CMakeLists.txt scripts/pgo-train.sh \
            -type f -print0 | sort -z | xargs -0 md5sum) | md5sum | cut -d' ' -f1)
    stamp="$build/pgo-profile/sources.md5"
    if [ ! -f "$stamp" ] || [ "$(cat "$stamp")" != "$sources_id" ]; then
        echo "Building krav-cli for the training run of the profile-guided build"
        cmake -S "$top" -B "$build" "$@" -DKRAV_PGO=GENERATE >/dev/null
        cmake --build "$build" -j"$(nproc)" --target krav-cli loggen krav_data >/dev/null
        "$top/scripts/pgo-train.sh" "$build"
        echo "$sources_id" >"$stamp"
    fi
    cmake -S "$top" -B "$build" "$@" -DKRAV_PGO=USE >/dev/null
else
    cmake -S "$top" -B "$build" "$@" -DKRAV_PGO=OFF >/dev/null
fi
cmake --build "$build" -j"$(nproc)"
