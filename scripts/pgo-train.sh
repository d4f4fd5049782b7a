#!/usr/bin/env bash
# The training run of the profile-guided build: krav-cli, built with KRAV_PGO=GENERATE in BUILD_DIR, reads
# logs that bench/loggen writes in the mixes scripts/bench.sh times (a seed of their own, so that the
# benchmark's logs are not the ones trained on), in each of its modes, and the sample game folder's log.
# Its profile lands in BUILD_DIR/pgo-profile, replacing any earlier one.
# Usage: scripts/pgo-train.sh BUILD_DIR
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
bin="$build/bin"
work="$build/pgo-train"
profile="$build/pgo-profile"

rm -rf "$work" "$profile"
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT

run() {  # log, options of process
    local log="$1"
    shift
    "$bin/krav-cli" process "$@" "$log" >/dev/null
}
train() {  # name, size, loggen options, process options
    local name="$1" size="$2" gen="$3" game="$work/$1"
    shift 3
    mkdir -p "$game/logs"
    # shellcheck disable=SC2086 # the mix's options are words
    "$bin/loggen" --size "$size" --seed 7 $gen "$game/logs/eqlog_Train_tunare.txt" 2>/dev/null
    run "$game/logs/eqlog_Train_tunare.txt" "$@"
}

train pool 8M ""
train realistic 16M "--players 640 --names 3000"
train few 8M "--players 100 --names 100 --who 500"
train distinct 8M "--players 250000 --names 100000 --who 500"
# The shrinking modes write the new log, the backup and the chat file, and read the records back.
train compatible 4M "--players 160 --names 3000" --mode compatible
run "$work/compatible/logs/eqlog_Train_tunare.txt" --mode smallest --sort value
cp -r "$top/examples/EverQuest" "$work/sample"
run "$work/sample/logs/eqlog_Soandso_tunare.txt" --mode smallest

count=$(find "$profile" -name '*.gcda' 2>/dev/null | wc -l)
[ "$count" -gt 0 ] || { echo "pgo-train.sh: the training run left no profile in $profile" >&2; exit 1; }
echo "Profile of the training run: $count files in $profile"
