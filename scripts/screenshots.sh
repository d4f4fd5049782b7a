#!/usr/bin/env bash
# Writes PNG screenshots of the window without a display: each page after a run on the sample game folder,
# the mobs sorted by value, and the window during a run over a larger generated log.
# Usage: scripts/screenshots.sh [OUT_DIR]          (default: build/screenshots)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build"
out=${1:-$build/screenshots}

cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target krav_window_driver loggen krav_data >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$top/examples/EverQuest" "$work/sample"
mkdir -p "$work/big/logs"
# A game folder as the window accepts one: the client program and its settings beside the logs.
touch "$work/big/EverQuest.exe"
printf "[Defaults]\r\nLog=TRUE\r\n" >"$work/big/eqclient.ini"
"$build/bin/loggen" --size $((200 * 1048576)) --seed 1 "$work/big/logs/eqlog_Bench_tunare.txt" 2>/dev/null

# The window's settings and registry store stay in the scratch folder.
export KRAV_REGISTRY_DIR="$work/registry"
export QT_QPA_PLATFORM=offscreen
"$build/bin/krav_window_driver" screenshots "$out" "$work/sample" "$work/big"
