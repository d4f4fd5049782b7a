#!/usr/bin/env bash
# Times krav-cli on large synthetic logs and compares it with `wc -l` over the same bytes, the floor for
# any program that reads a file line by line.
#
# Usage: scripts/bench.sh [SIZE_MB...]            (default: 100 1000; 1 MB = 2^20 bytes)
#
# Builds a Release build in build/, writes each log with bench/loggen into a scratch game folder as
# logs/eqlog_Bench_tunare.txt, warms the page cache, and takes the best of three runs of `wc -l` and of a
# read-only `krav-cli process`. Prints one line per size and profile. Profiles:
#   pool       loggen's small name pools: tables of a few hundred rows
#   realistic  a long-played character: who lists drawing from 40 made-up players per MB (over a
#              gigabyte they name 26,000 different players), 3,000 variants each of the mobs, items, NPCs,
#              merchants and spells (174,000 different mobs and 88,000 items over a gigabyte)
#   few        who lists on half of all episodes, naming 100 different players, and the small pools for
#              every other name (73 different mobs and 157 items in 100 MB)
#   distinct   the same mix drawing from 300,000 made-up players, so that 100 MB names 203,000 different
#              ones (two batches of the friends file), and 100,000 variants of each other name (22,000
#              different mobs and 10,000 items in 100 MB: as many as it has fights): with `few`, how the
#              time grows with the number of names rather than with the log
# Environment:
#   PROFILES="..."  profiles to run (default: pool realistic few distinct)
#   SEED=N          loggen seed (default 1)
#   BENCH_DIR=DIR   scratch folder (default ${TMPDIR:-/tmp}/krav-bench); a log already there with the
#                   same size, seed and generator source is reused
#   KEEP=1          leave the logs in BENCH_DIR afterwards (they are deleted otherwise)
#   PAIRS=N         when both `few` and `distinct` run, time them N times more in turn (default 11; 0 skips)
#                   and print the median of distinct / few with its quartiles: runs a minute apart can differ
#                   by a tenth on a shared machine, runs in turn much less
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
seed=${SEED:-1}
bench_dir=${BENCH_DIR:-${TMPDIR:-/tmp}/krav-bench}
runs=3
if [ "$#" -gt 0 ]; then sizes=("$@"); else sizes=(100 1000); fi
for mb in "${sizes[@]}"; do
    [[ "$mb" =~ ^[1-9][0-9]*$ ]] || { echo "bench.sh: size '$mb' is not a whole number of MB" >&2; exit 2; }
done

# /usr/bin/time -v gives the peak resident set size; the shell's own `time` does not.
if [ ! -x /usr/bin/time ]; then
    echo "Installing: time"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq time
fi

cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
# Only what the benchmark runs: the test suite is no part of it, and a test that does not build must not
# stop a timing of the program.
cmake --build "$top/build" -j2 --target krav-cli loggen krav_data >/dev/null
# The figures are of the profile-guided build once scripts/setup.sh (quickstart.sh, test.sh) has made one.
if grep -q '^KRAV_PGO:STRING=USE$' "$top/build/CMakeCache.txt"; then
    echo "timing the profile-guided build in $top/build" >&2
else
    echo "timing a build without a profile (scripts/setup.sh $top/build -DCMAKE_BUILD_TYPE=Release makes one)" >&2
fi
loggen="$top/build/bin/loggen"
krav="$top/build/bin/krav-cli"

mkdir -p "$bench_dir"
cleanup() {
    if [ "${KEEP:-0}" != 1 ]; then
        for mb in "${sizes[@]}"; do rm -rf "${bench_dir:?}/${mb}MB"; done
        rmdir "$bench_dir" 2>/dev/null || true
    fi
}
trap cleanup EXIT

profiles=(${PROFILES:-pool realistic few distinct})
profile_args() {  # profile, MB
    case "$1" in
        pool) ;;
        realistic) echo "--players $(($2 * 40)) --names 3000" ;;
        few) echo "--players 100 --who 500" ;;
        distinct) echo "--players 300000 --names 100000 --who 500" ;;
        *) echo "bench.sh: unknown profile '$1'" >&2; exit 2 ;;
    esac
}

# A reused log must come from the same generator, not only the same arguments.
generator_id=$(md5sum "$top/bench/loggen.cpp" | cut -d' ' -f1)

now_ns() { date +%s%N; }

# Each run starts from the log alone: no report or friends file left by the run before.
fresh_folder() {  # log
    find "$(dirname "$(dirname "$1")")" -mindepth 1 -maxdepth 2 -type f ! -path "$1" ! -name loggen.params -delete
}

# Seconds, with millisecond resolution, from two now_ns readings.
seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", (b - a) / 1e9 }'; }

printf '%-10s %8s %10s %8s %8s %10s %8s %7s %8s\n' profile MB lines seconds MB/s lines/s RSS_MB wc_s krav/wc
for mb in "${sizes[@]}"; do
for profile in "${profiles[@]}"; do
    game="$bench_dir/${mb}MB/$profile"
    extra=$(profile_args "$profile" "$mb")
    log="$game/logs/eqlog_Bench_tunare.txt"
    stamp="$game/loggen.params"
    bytes=$((mb * 1048576))
    params="size=$bytes seed=$seed $extra generator=$generator_id"
    if [ -f "$log" ] && [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$params" ]; then
        echo "reusing $log" >&2
    else
        rm -rf "$game"
        mkdir -p "$game/logs"
        t0=$(now_ns)
        # shellcheck disable=SC2086 # the profile's options are words
        "$loggen" --size "$bytes" --seed "$seed" $extra "$log" 2>/dev/null
        t1=$(now_ns)
        echo "$params" >"$stamp"
        echo "generated $log in $(seconds "$t0" "$t1") s" >&2
    fi
    actual_bytes=$(stat -c %s "$log")

    cat "$log" >/dev/null

    best_wc=
    lines=0
    for _ in $(seq "$runs"); do
        t0=$(now_ns)
        lines=$(wc -l <"$log")
        t1=$(now_ns)
        s=$(seconds "$t0" "$t1")
        if [ -z "$best_wc" ] || awk -v a="$s" -v b="$best_wc" 'BEGIN { exit !(a < b) }'; then best_wc=$s; fi
    done

    best_krav=
    peak_rss_kb=0
    for _ in $(seq "$runs"); do
        fresh_folder "$log"
        t0=$(now_ns)
        status=0
        /usr/bin/time -v -o "$game/time.txt" "$krav" process "$log" >/dev/null || status=$?
        t1=$(now_ns)
        if [ "$status" -ne 0 ]; then
            echo "bench.sh: krav-cli exited with status $status on $log; its status list:" >&2
            "$krav" process "$log" 2>&1 | head -n 20 >&2 || true
            exit 1
        fi
        s=$(seconds "$t0" "$t1")
        rss_kb=$(awk -F': *' '/Maximum resident set size/ { print $2 }' "$game/time.txt")
        if [ -z "$best_krav" ] || awk -v a="$s" -v b="$best_krav" 'BEGIN { exit !(a < b) }'; then
            best_krav=$s
        fi
        if [ "$rss_kb" -gt "$peak_rss_kb" ]; then peak_rss_kb=$rss_kb; fi
    done

    line=$(awk -v bytes="$actual_bytes" -v lines="$lines" -v s="$best_krav" -v rss="$peak_rss_kb" \
        -v wc="$best_wc" -v profile="$profile" 'BEGIN {
            mb = bytes / 1048576
            printf "%-10s %8.1f %10d %8.3f %8.1f %10.0f %8.1f %7.3f %8.1f", profile, mb, lines, s, mb / s, lines / s,
                   rss / 1024, wc, (wc > 0 ? s / wc : 0)
        }')
    echo "$line"
done

# `few` and `distinct` in turn, each pair a moment apart, for the ratio that decides how the time grows with
# the number of names.
pairs=${PAIRS:-11}
few_log="$bench_dir/${mb}MB/few/logs/eqlog_Bench_tunare.txt"
distinct_log="$bench_dir/${mb}MB/distinct/logs/eqlog_Bench_tunare.txt"
if [ "$pairs" -gt 0 ] && [[ " ${profiles[*]} " == *" few "* ]] && [[ " ${profiles[*]} " == *" distinct "* ]]; then
    ratios=()
    for _ in $(seq "$pairs"); do
        pair=()
        for log in "$few_log" "$distinct_log"; do
            fresh_folder "$log"
            t0=$(now_ns)
            "$krav" process "$log" >/dev/null
            t1=$(now_ns)
            pair+=("$((t1 - t0))")
        done
        ratios+=("$(awk -v f="${pair[0]}" -v d="${pair[1]}" 'BEGIN { printf "%.4f", d / f }')")
    done
    printf '%s\n' "${ratios[@]}" | sort -g | awk -v mb="$mb" -v n="$pairs" '
        { r[NR] = $1 }
        END {
            printf "%s MB: distinct / few %.2f (quartiles %.2f-%.2f), %d runs of each in turn\n", mb,
                   r[int((n + 1) / 2)], r[int((n + 3) / 4)], r[int((3 * n + 3) / 4)], n
        }'
fi
done
