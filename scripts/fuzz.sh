#!/usr/bin/env bash
# Builds the libFuzzer target for the line classifier and the processing run with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, and fuzzes it for a while, starting from the seeds in fuzz/corpus.
# Usage: scripts/fuzz.sh [SECONDS]   (default 60)
# Exits non-zero when libFuzzer finds a crash or a sanitizer reports; inputs are kept in build-fuzz/crashes/.
set -euo pipefail
seconds="${1:-60}"
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build-fuzz"

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
updated=0
installed() { dpkg -s "$1" 2>/dev/null | grep -q '^Status: install ok installed'; }
install() {
    if [ "$updated" -eq 0 ]; then
        "${sudo_cmd[@]}" apt-get update -qq
        updated=1
    fi
    echo "Installing: $*"
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "$@"
}

missing=()
for p in cmake make clang; do
    installed "$p" || missing+=("$p")
done
[ "${#missing[@]}" -eq 0 ] || install "${missing[@]}"

# libFuzzer's runtime belongs to the compiler-rt package of clang's own version.
major=$(clang -dumpversion | cut -d. -f1)
if ! installed "libclang-rt-$major-dev" && ! installed "libfuzzer-$major-dev"; then
    runtime=""
    for p in "libclang-rt-$major-dev" "libfuzzer-$major-dev"; do
        if apt-cache show "$p" >/dev/null 2>&1; then
            runtime="$p"
            break
        fi
    done
    if [ -z "$runtime" ]; then
        "${sudo_cmd[@]}" apt-get update -qq
        updated=1
        for p in "libclang-rt-$major-dev" "libfuzzer-$major-dev"; do
            if apt-cache show "$p" >/dev/null 2>&1; then
                runtime="$p"
                break
            fi
        done
    fi
    [ -n "$runtime" ] || { echo "No libFuzzer runtime package found for clang $major" >&2; exit 2; }
    install "$runtime"
fi

CC=clang CXX=clang++ cmake -S "$top" -B "$build" -DKRAV_FUZZ=ON -DKRAV_TESTS=OFF -DCMAKE_BUILD_TYPE=Debug \
    >/dev/null
cmake --build "$build" --target classifier_fuzz -j"$(nproc)"

# The fuzzer adds what it finds to its own copy; the seeds stay as they are.
corpus="$build/corpus"
crashes="$build/crashes"
mkdir -p "$corpus" "$crashes"
cp "$top"/fuzz/corpus/* "$corpus"/

log="$build/fuzz.log"
echo "Fuzzing classifier_fuzz for $seconds s (log: $log)"
status=0
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/bin/classifier_fuzz" "$corpus" -max_total_time="$seconds" -max_len=65536 -timeout=30 \
    -print_final_stats=1 -artifact_prefix="$crashes/" >"$log" 2>&1 || status=$?

# The summary: libFuzzer's last progress line, its final statistics and any report.
grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|^Done [0-9]+ runs|^stat::' "$log" || true
if grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:|SUMMARY: ' "$log"; then
    echo
    grep -E -A30 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:' "$log" | head -60
    grep -E '^(SUMMARY|artifact_prefix|Test unit written)' "$log" || true
    [ "$status" -ne 0 ] || status=1
fi
if [ "$status" -ne 0 ]; then
    echo "classifier_fuzz failed (exit status $status); inputs kept in $crashes" >&2
fi
exit "$status"
