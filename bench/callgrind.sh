#!/usr/bin/env bash
# What a clip costs the program, counted instead of timed, so that the figures stay the same
# however loaded the machine is: the instructions of one whole run under valgrind's callgrind, and
# the heap allocations of another under memcheck, each over its own fresh folder of the same clips
# on tmpfs, laid out as bench/e2e.sh lays them out, with the same dialogue piped in. Prints both in
# all and a clip (the whole run over the clip count, so start-up and the dialogue are spread over
# the clips), and stops with an error when a run did not rename every clip.
#
#   ./dev bench-callgrind [COUNT]        (builds first; default 20000 clips)
#
# Environment: RUR_BENCH_PROGRAM (the program to count, default the one in build/),
# RUR_BENCH_SHUFFLE (as for bench/e2e.sh: the seed of the order in which the clips are made,
# default 20251121, or off), RUR_BENCH_TMPFS (the scratch folder, default
# /dev/shm/rur-bench-callgrind, removed at the end).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

program=$(realpath "${RUR_BENCH_PROGRAM:-$root/build/DoridivezizoziRUR}")
layout=$root/build/bench/e2e/rur_clip_layout
for tool in "$program" "$layout"; do
    [ -x "$tool" ] || { echo "missing $tool: run ./dev bench-callgrind" >&2; exit 1; }
done
command -v valgrind >/dev/null || { echo "valgrind is missing: run ./dev bench-callgrind" >&2; exit 1; }

count=${1:-20000}
[[ $count =~ ^[1-9][0-9]*$ ]] || { echo "COUNT must be a whole number above 0, not $count" >&2; exit 2; }
shuffle=(--shuffle "${RUR_BENCH_SHUFFLE:-20251121}")
order="in an order shuffled with seed ${RUR_BENCH_SHUFFLE:-20251121}"
if [ "${RUR_BENCH_SHUFFLE:-}" = off ]; then
    shuffle=()
    order="in the order of their dates"
fi
place=${RUR_BENCH_TMPFS:-/dev/shm/rur-bench-callgrind}
rm -rf "$place"
mkdir -p "$place"
trap 'rm -rf "$place"' EXIT
# Yes, the folder, both timestamps, and Enter at the closing prompt, as bench/e2e.sh answers.
printf 'Y\nclips\n%s\n%s\n\n' "2025 11 21 15 30 00" "2024 08 03 07 12 00" >"$place/answers.txt"

# Runs the program under valgrind with the options given, on a fresh folder of the clips in
# $place/run; valgrind's own messages go to $place/valgrind.txt, the program's output to files.
under_valgrind() {
    local run=$place/run status=0
    rm -rf "$run"
    mkdir "$run"
    "$layout" "${shuffle[@]}" "$run/clips" "$count"
    (cd "$run" && valgrind --log-file="$place/valgrind.txt" "$@" "$program" \
        <"$place/answers.txt" >"$run/stdout.txt" 2>"$run/stderr.txt") || status=$?
    if [ "$status" -ne 0 ] ||
        [ "$(grep -c '^Successfully renamed ' "$run/DedUzarodivedizidUZOVU.txt")" != "$count" ]; then
        echo "The run under valgrind $1 ended with status $status, not every clip renamed:" >&2
        cat "$run/stderr.txt" "$place/valgrind.txt" >&2
        exit 1
    fi
}

a_clip() { awk -v total="$1" -v count="$count" -v places="$2" \
    'BEGIN { printf "%.*f", places, total / count }'; }

under_valgrind --tool=callgrind --callgrind-out-file="$place/callgrind.out"
instructions=$(sed -n 's/^summary: *//p' "$place/callgrind.out")

under_valgrind --tool=memcheck --leak-check=no
allocations=$(sed -n 's/.* total heap usage: \([0-9,]*\) allocs.*/\1/p' "$place/valgrind.txt" |
    tr -d ,)

echo "$count clips on $(df --output=fstype "$place" | tail -n 1), made $order"
printf 'instructions  %14d in all  %10s a clip\n' "$instructions" "$(a_clip "$instructions" 0)"
printf 'allocations   %14d in all  %10s a clip\n' "$allocations" "$(a_clip "$allocations" 2)"
