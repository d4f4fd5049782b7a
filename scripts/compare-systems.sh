#!/usr/bin/env bash
# Runs the sample game folder and a generated log through the Linux krav-cli and the Windows krav-cli.exe
# (under Wine) in all three modes, and compares what each run printed, its exit status, its JSON dump and
# every file left in the game folder, byte for byte. The HTML report is the one file written with the
# platform's line end, so there the Windows copy must equal the Linux one with CR LF for LF.
# Usage: scripts/compare-systems.sh LINUX_BIN_DIR WINDOWS_BIN_DIR   (Wine set up by the caller)
set -euo pipefail
export LC_ALL=C  # names and lines are compared as bytes
top=$(cd "$(dirname "$0")/.." && pwd)
linux_bin=$(cd "$1" && pwd)
windows_bin=$(cd "$2" && pwd)

work=$(mktemp -d "${TMPDIR:-/tmp}/krav-compare.XXXXXX")
# On Windows the game lies on a drive of its own, D:, away from the program's.
drive="${WINEPREFIX:-$HOME/.wine}/dosdevices/d:"
[ ! -e "$drive" ] || { echo "compare-systems.sh: $drive is taken; run it in a fresh Wine prefix" >&2; exit 1; }
mkdir -p "$work/d"
ln -s "$work/d" "$drive"
trap 'rm -f "$drive"; rm -rf "$work"' EXIT

# The inputs: the sample, and a generated log in a copy of the sample's game folder.
mkdir -p "$work/inputs"
cp -r "$top/examples/EverQuest" "$work/inputs/sample"
generated="$work/inputs/generated"
cp -r "$top/examples/EverQuest" "$generated"
rm -f "$generated"/logs/*
"$linux_bin/loggen" --size 3M --seed 7 "$generated/logs/eqlog_Gendry_tunare.txt" 2>/dev/null

failures=0
runs=0
for input in "$work"/inputs/*; do
    case=$(basename "$input")
    log=$(ls "$input"/logs/eqlog_*.txt)
    for mode in read-only compatible smallest; do
        for system in linux windows; do
            # The game folder's name holds a blank and "é", as a player's may: the byte E9 on Linux, where a
            # name is the program's bytes, and the character on Windows (Wine keeps it in UTF-8 on disk).
            game="$work/game "$'\xe9'
            [ "$system" = linux ] || game="$work/d/game "$'\xc3\xa9'
            rm -rf "$game"
            cp -r "$input" "$game"
            out="$work/out/$case/$mode/$system"
            mkdir -p "$out"
            log_in_game="$game/logs/$(basename "$log")"
            status=0
            if [ "$system" = linux ]; then
                "$linux_bin/krav-cli" process --mode "$mode" --dump-json "$out/dump.json" "$log_in_game" \
                    >"$out/status.txt" 2>"$out/stderr.txt" || status=$?
            else
                game_w='D:\game '$'\xc3\xa9'
                log_w="$game_w\\logs\\$(basename "$log")"
                (cd "$windows_bin" && LC_ALL=C.UTF-8 wine krav-cli.exe process --mode "$mode" \
                    --dump-json "$(winepath -w "$out/dump.json")" "$log_w") >"$out/status.raw" 2>"$out/stderr.txt" \
                    || status=$?
                # The console's line end and the path's spelling are the system's; the lines are compared.
                tr -d '\r' <"$out/status.raw" | while IFS= read -r line; do
                    # krav-cli prints its texts in UTF-8: "é" as C3 A9 on both systems.
                    if [[ "$line" == *"$game_w"* ]]; then
                        line=${line//"$game_w"/$work/game $'\xc3\xa9'}
                        line=${line//\\//}
                    fi
                    printf '%s\n' "$line"
                done >"$out/status.txt"
                rm "$out/status.raw"
            fi
            echo "$status" >"$out/exit-status"
            mv "$game" "$out/files"
        done
        runs=$((runs + 1))
        l="$work/out/$case/$mode/linux"
        w="$work/out/$case/$mode/windows"
        problems=()
        cmp -s "$l/status.txt" "$w/status.txt" || problems+=("status lines")
        cmp -s "$l/exit-status" "$w/exit-status" || problems+=("exit status")
        cmp -s "$l/dump.json" "$w/dump.json" || problems+=("JSON dump")
        if [ "$(cd "$l/files" && find . -type f | sort)" != "$(cd "$w/files" && find . -type f | sort)" ]; then
            problems+=("the files left behind")
        fi
        while IFS= read -r file; do
            [ -f "$w/files/$file" ] || continue
            if [[ "$file" == *.html ]]; then
                sed 's/$/\r/' "$l/files/$file" | cmp -s - "$w/files/$file" || problems+=("$file")
            else
                cmp -s "$l/files/$file" "$w/files/$file" || problems+=("$file")
            fi
        done < <(cd "$l/files" && find . -type f | sort)
        summary="$case, $mode: $(head -c -1 <"$l/status.txt" | tail -n 3 | tr '\n' ';'),"
        summary+=" $(cd "$l/files" && find . -type f | wc -l) files"
        if [ "${#problems[@]}" -eq 0 ]; then
            echo "same: $summary"
        else
            echo "DIFFERENT: $summary: ${problems[*]}"
            diff "$l/status.txt" "$w/status.txt" | head -20 || true
            # What each program said besides its status lines, and how it ended, for a difference that the
            # files alone do not explain.
            for side in "$l" "$w"; do
                echo "  $(basename "$side"): exit status $(cat "$side/exit-status"), JSON dump of" \
                    "$(wc -c <"$side/dump.json" 2>/dev/null || echo "no") bytes"
                head -5 "$side/stderr.txt" | sed 's/^/    /'
            done
            failures=$((failures + 1))
        fi
    done
done
echo "$((runs - failures)) of $runs runs gave the same results on Linux and Windows"
[ "$failures" -eq 0 ]
