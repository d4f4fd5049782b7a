#!/usr/bin/env bash
# Builds KRAV twice, as released and under AddressSanitizer and UndefinedBehaviorSanitizer, and runs the
# whole test suite in both builds.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

"$top/scripts/setup.sh" "$top/build" -DCMAKE_BUILD_TYPE=Release
(cd "$top/build" && ctest --output-on-failure -j2)

"$top/scripts/setup.sh" "$top/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DKRAV_SANITIZE=ON
(cd "$top/build-sanitize" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --output-on-failure -j2)
