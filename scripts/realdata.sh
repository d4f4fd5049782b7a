#!/usr/bin/env bash
# Measures KRAV on a folder of real logs: the share of lines that some message form claims, the share that a
# compatible shrink keeps, and the most frequent forms of the lines no form claims, so that the next forms
# to support can be chosen from data.
#
# Usage: scripts/realdata.sh [--cli PATH] [--top N] [--keep DIR] FOLDER
#
# Every *.txt and *.log file of FOLDER is copied into a scratch game folder (a run writes a friends file and
# work files there; the logs in FOLDER stay untouched) and processed twice by krav-cli: read-only with
# --unmatched (lines no form claims), and in compatible mode (lines written to the new log or appended to the
# chat file: the forms that are counted, not only consumed; the few summary records a run writes are
# included). Prints one line per log, the totals, and the TOP (default 30) most frequent unmatched forms with
# the number of lines and of logs they occur in. A form is the message without its timestamp part, with
# quoted speech after " '" as '...', every number as N, and every word starting with a capital letter (but
# You, YOU, Your, A, An, The, There, This, It) as X: a run of such words, and "X the X", "X of X", are one X.
#   --cli PATH   the krav-cli to measure (default build/bin/krav-cli, built as a Release build when missing)
#   --keep DIR   keep the unmatched lines of every log in DIR (one file per log), for a closer look
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
cli=
show=30
keep=
while [ "$#" -gt 1 ]; do
    case "$1" in
        --cli) cli=$2; shift 2 ;;
        --top) show=$2; shift 2 ;;
        --keep) keep=$2; shift 2 ;;
        *) break ;;
    esac
done
if [ "$#" -ne 1 ] || [ ! -d "$1" ]; then
    echo "usage: scripts/realdata.sh [--cli PATH] [--top N] [--keep DIR] FOLDER" >&2
    exit 2
fi
folder=$1
[[ "$show" =~ ^[0-9]+$ ]] || { echo "realdata.sh: --top wants a number" >&2; exit 2; }

if [ -z "$cli" ]; then
    cli="$top/build/bin/krav-cli"
    if [ ! -x "$cli" ]; then
        cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
        cmake --build "$top/build" -j2 --target krav-cli krav_data >/dev/null
    fi
fi
[ -x "$cli" ] || { echo "realdata.sh: no krav-cli at $cli" >&2; exit 2; }

scratch=$(mktemp -d "${TMPDIR:-/tmp}/krav-realdata.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/logs" "$scratch/unmatched"
[ -z "$keep" ] || mkdir -p "$keep"

# One line of the table: name, lines read, lines unmatched, lines kept.
share() {
    awk -v n="$1" -v l="$2" -v u="$3" -v k="$4" 'BEGIN {
        printf "%-52s %8d %9d %7.1f%% %7.1f%%\n", n, l, u, (l > 0 ? 100 * (l - u) / l : 100), (l > 0 ? 100 * k / l : 0)
    }'
}
printf '%-52s %8s %9s %8s %8s\n' log lines unmatched claimed kept
total_lines=0
total_unmatched=0
total_kept=0
logs=0
shopt -s nullglob
for path in "$folder"/*.txt "$folder"/*.log; do
    name=$(basename "$path")
    rm -rf "${scratch:?}"/logs/* "$scratch"/*.lst "$scratch"/*.txt
    cp "$path" "$scratch/logs/$name"
    unmatched="$scratch/unmatched/$name"
    status=$("$cli" process --mode read-only --no-report --game-folder "$scratch/" \
        --unmatched "$unmatched" "$scratch/logs/$name" 2>&1) || true
    lines=$(printf '%s\n' "$status" | awk '/ lines read$/ { print $1 }')
    if [ -z "$lines" ]; then
        echo "realdata.sh: no run on $name:" >&2
        printf '%s\n' "$status" | head -n 5 >&2
        continue
    fi
    missed=$(wc -l <"$unmatched")
    status=$("$cli" process --mode compatible --no-backup --no-report --channels tell,say,group,guild,shout,ooc,auction \
        --game-folder "$scratch/" "$scratch/logs/$name" 2>&1) || true
    kept=$(printf '%s\n' "$status" | awk '/ lines written$/ || / chat lines appended$/ { n += $1 } END { print n + 0 }')
    [ -z "$keep" ] || cp "$unmatched" "$keep/$name"
    total_lines=$((total_lines + lines))
    total_unmatched=$((total_unmatched + missed))
    total_kept=$((total_kept + kept))
    logs=$((logs + 1))
    share "$name" "$lines" "$missed" "$kept"
done
share "total: $logs logs" "$total_lines" "$total_unmatched" "$total_kept"

echo
echo "Most frequent unmatched forms (lines, logs, form):"
# One form per unmatched line, tagged with its log; then lines and distinct logs per form.
for file in "$scratch"/unmatched/*; do
    awk -v name="$(basename "$file")" '
        {
            sub(/\r$/, "")
            m = (length($0) > 27 && substr($0, 1, 1) == "[") ? substr($0, 28) : $0
            q = index(m, " \047")
            if (q > 0) m = substr(m, 1, q) "\047...\047"
            gsub(/[0-9]+/, "N", m)
            n = split(m, w, " ")
            out = ""
            for (i = 1; i <= n; i++) {
                word = w[i]
                if (word ~ /^[A-Z]/ && word !~ /^(N|You|YOU|Your|A|An|The|There|This|It)([^A-Za-z`\047].*)?$/) {
                    # A name; punctuation after it stays, and a run of names is one X.
                    tail = word
                    sub(/^[A-Za-z`\047-]+/, "", tail)
                    if (out ~ /(^| )X$/) { out = out tail; continue }
                    word = "X" tail
                }
                out = out (out == "" ? "" : " ") word
            }
            while (gsub(/X (the|of) X/, "X", out) > 0) {}
            print name "\t" out
        }' "$file"
done | awk -F '\t' '
    { lines[$2]++; if (!(($1, $2) in seen)) { seen[$1, $2] = 1; logs[$2]++ } }
    END { for (f in lines) printf "%8d %5d  %s\n", lines[f], logs[f], f }' | sort -k1,1nr -k3 | head -n "$show"
