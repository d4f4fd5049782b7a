#!/usr/bin/env bash
# Times a read-only run from the window against krav-cli on the same generated log, in turns, best of three
# each, and prints both with their ratio. The window runs on the offscreen platform, no display needed.
#
# Usage: scripts/bench_window.sh [SIZE_MB]          (default: 1000; 1 MB = 2^20 bytes)
# Environment: SEED=N (loggen seed, default 1), BENCH_DIR=DIR (scratch folder, default
# ${TMPDIR:-/tmp}/krav-bench-window; removed afterwards unless KEEP=1).
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
mb=${1:-1000}
[[ "$mb" =~ ^[1-9][0-9]*$ ]] || { echo "bench_window.sh: size '$mb' is not a whole number of MB" >&2; exit 2; }
seed=${SEED:-1}
bench_dir=${BENCH_DIR:-${TMPDIR:-/tmp}/krav-bench-window}
runs=3

cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$top/build" -j2 --target krav-cli krav_window_driver loggen krav_data >/dev/null
bin="$top/build/bin"

game="$bench_dir/EverQuest"
log="$game/logs/eqlog_Bench_tunare.txt"
cleanup() { if [ "${KEEP:-0}" != 1 ]; then rm -rf "${bench_dir:?}"; fi; }
trap cleanup EXIT
if [ ! -f "$log" ] || [ "$(stat -c %s "$log")" -lt $((mb * 1048576 * 99 / 100)) ]; then
    rm -rf "$game"
    mkdir -p "$game/logs"
    "$bin/loggen" --size $((mb * 1048576)) --seed "$seed" "$log" 2>/dev/null
fi
# A game folder as the window accepts one: the client program and its settings beside the logs.
touch "$game/EverQuest.exe"
printf '[Defaults]\r\nLog=TRUE\r\n' >"$game/eqclient.ini"
export KRAV_REGISTRY_DIR="$bench_dir/registry"
export QT_QPA_PLATFORM=offscreen
cat "$log" >/dev/null

now_ns() { date +%s%N; }
best() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'; }

best_cli=
best_window=
for _ in $(seq "$runs"); do
    rm -f "$game/logs/"*.html
    t0=$(now_ns)
    "$bin/krav-cli" process "$log" >/dev/null
    t1=$(now_ns)
    best_cli=$(best "$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')" "$best_cli")
    rm -f "$game/logs/"*.html
    # The driver prints the seconds from the press of Process to the end of the run, and the longest time
    # the window's events waited meanwhile.
    read -r s _ _ _ _ _ gap _ < <("$bin/krav_window_driver" time "$game" 2>/dev/null | tail -n 1)
    best_window=$(best "$s" "$best_window")
    worst_gap=$(awk -v a="$gap" -v b="${worst_gap:-0}" 'BEGIN { print (a > b) ? a : b }')
done
awk -v mb="$(awk -v b="$(stat -c %s "$log")" 'BEGIN { printf "%.1f", b / 1048576 }')" -v c="$best_cli" \
    -v w="$best_window" -v g="$worst_gap" 'BEGIN {
        printf "%8s %10s %10s %8s %14s\n", "MB", "krav-cli_s", "window_s", "ratio", "events_wait_ms"
        printf "%8s %10.3f %10.3f %8.3f %14d\n", mb, c, w, w / c, g
    }'
