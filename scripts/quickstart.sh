#!/usr/bin/env bash
# Builds KRAV and runs it on the bundled sample game folder, printing the status list. It works on a copy in
# the build folder, so the source tree stays as it is.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build"
"$top/scripts/setup.sh" "$build" -DCMAKE_BUILD_TYPE=Release

sample="$build/example/EverQuest"
rm -rf "$sample"
mkdir -p "$build/example"
cp -r "$top/examples/EverQuest" "$sample"
echo
echo "krav-cli process $sample/logs/eqlog_Soandso_tunare.txt"
"$build/bin/krav-cli" process "$sample/logs/eqlog_Soandso_tunare.txt"
echo
echo "Report: $sample/logs/eqlog_Soandso_tunare.html"
echo "Open the window on the same folder: $build/bin/krav -p $sample"
