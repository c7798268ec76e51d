#!/usr/bin/env bash
# How long --undo takes for journals of 2,000 and 4,000 pairs: the time per pair must not grow with
# the journal. Two journals each: a real run's over as many clips, and a journal of 1.1.0's form in
# which half the pairs rename one name and half rename to another (a walk of the whole journal for
# each pair would show there). Run by `./dev bench-undo`; prints one row per journal.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
program=$root/build/DoridivezizoziRUR
layout=$root/build/bench/e2e/rur_clip_layout
place=$(mktemp -d /dev/shm/rur-bench-undo.XXXXXX)
trap 'rm -rf "$place"' EXIT

# Wall-clock µs of one undo of journal $2 in folder $1.
time_undo() {
    local start=$EPOCHREALTIME
    (cd "$1" && "$program" --undo "$2" >/dev/null 2>&1) || true
    echo $((10#${EPOCHREALTIME/./} - 10#${start/./}))
}

printf '%-8s %7s | %10s %10s\n' "journal" "pairs" "undo ms" "µs/pair"
for pairs in 2000 4000; do
    run=$place/run-$pairs
    mkdir -p "$run"
    "$layout" "$run/clips" "$pairs"
    printf 'Y\nclips\n2025 11 21 15 30 00\n2024 08 03 07 12 00\n\n' | (cd "$run" && "$program" >/dev/null 2>&1)
    journal=$(cd "$run" && ls DoridivezizoziRUR-undo-*.txt)
    us=$(time_undo "$run" "$journal")
    printf '%-8s %7d | %10.1f %10.2f\n' run "$pairs" "$(bc -l <<<"$us/1000")" "$(bc -l <<<"$us/$pairs")"

    legacy=$place/legacy-$pairs
    mkdir -p "$legacy/F"
    {
        printf 'DoridivezizoziRUR undo journal\r\n'
        for ((pair = 0; pair < pairs / 2; pair++)); do
            printf 'renamed: F/a.mp4\r\n     to: F/b%d.mp4\r\n' "$pair"
            printf 'renamed: F/c%d.mp4\r\n     to: F/d.mp4\r\n' "$pair"
        done
    } >"$legacy/journal.txt"
    us=$(time_undo "$legacy" journal.txt)
    printf '%-8s %7d | %10.1f %10.2f\n' 1.1.0 "$pairs" "$(bc -l <<<"$us/1000")" "$(bc -l <<<"$us/$pairs")"
done
