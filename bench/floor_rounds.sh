#!/usr/bin/env bash
# Processor time of whole runs against the floor of the program's promises, in interleaved rounds:
# each round lays out the same clips afresh for every program in turn (rur_clip_layout, shuffled
# with a fixed seed, on tmpfs), runs it under /usr/bin/time with the dialogue piped in (or, for the
# floor, with its own arguments), and notes user and system seconds. At the end it prints each
# program's median processor time (user plus system), its median user time, and the ratio of the
# medians to the floor's.
#
#   ./dev bench-floor FLOOR [ROUNDS] [COUNT] [PROGRAM...]    (builds first), or
#   bench/floor_rounds.sh FLOOR [ROUNDS] [COUNT] [PROGRAM...]
#
# FLOOR is a built promises floor (`cc -O2 -o promises_floor promises_floor.c`), run as
# `FLOOR -srjcl clips MINUTES`; ROUNDS defaults to 5, COUNT to 100000, the programs to the one in
# build/. Environment: RUR_BENCH_SHUFFLE (the layout's seed, default 20251121), RUR_BENCH_TMPFS
# (the scratch folder, default /dev/shm/rur-bench-rounds, removed at the end).
set -euo pipefail
root=$(realpath "$(dirname "$0")/..")

# Paths are taken from where the script was started.
floor=$(realpath "${1:?usage: bench/floor_rounds.sh FLOOR [ROUNDS] [COUNT] [PROGRAM...]}")
rounds=${2:-5}
count=${3:-100000}
shift $(($# < 3 ? $# : 3))
programs=("$@")
[ ${#programs[@]} -gt 0 ] || programs=("$root/build/DoridivezizoziRUR")
for run in "${!programs[@]}"; do
    programs[$run]=$(realpath "${programs[$run]}")
done
layout=$root/build/bench/e2e/rur_clip_layout
for tool in "$floor" "$layout" "${programs[@]}" /usr/bin/time; do
    [ -x "$tool" ] || { echo "missing $tool (./dev bench-floor builds the program and the layout tool)" >&2; exit 1; }
done

place=${RUR_BENCH_TMPFS:-/dev/shm/rur-bench-rounds}
rm -rf "$place"
mkdir -p "$place"
trap 'rm -rf "$place"' EXIT
# The answers bench/callgrind.sh gives; the floor is given the same correction in minutes.
printf 'Y\nclips\n%s\n%s\n\n' "2025 11 21 15 30 00" "2024 08 03 07 12 00" >"$place/answers.txt"
minutes=-684498

name_of() { if [ "$1" = floor ]; then echo "promises floor -srjcl"; else echo "${programs[$1]}"; fi; }

times=$place/times.txt
: >"$times"
for round in $(seq "$rounds"); do
    for run in floor "${!programs[@]}"; do
        rm -rf "$place/run"
        mkdir "$place/run"
        "$layout" --shuffle "${RUR_BENCH_SHUFFLE:-20251121}" "$place/run/clips" "$count"
        sync
        if [ "$run" = floor ]; then
            (cd "$place/run" && /usr/bin/time -f "%U %S" -o "$place/time.txt" \
                "$floor" -srjcl clips "$minutes" >out.txt 2>err.txt)
        else
            (cd "$place/run" && /usr/bin/time -f "%U %S" -o "$place/time.txt" \
                "${programs[$run]}" <"$place/answers.txt" >out.txt 2>err.txt)
            renamed=$(grep -c '^Successfully renamed ' "$place/run/DedUzarodivedizidUZOVU.txt")
            [ "$renamed" = "$count" ] || { echo "${programs[$run]} renamed $renamed" >&2; exit 1; }
        fi
        echo "$run $(cat "$place/time.txt")" >>"$times"
        echo "round $round: $(name_of "$run") $(cat "$place/time.txt")"
    done
done

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
floor_total=$(awk '$1 == "floor" { print $2 + $3 }' "$times" | median)
printf '%-40s %10s %8s %10s\n' "median of $rounds rounds, $count clips" "processor" "user" "× floor"
for run in floor "${!programs[@]}"; do
    total=$(awk -v run="$run" '$1 == run { print $2 + $3 }' "$times" | median)
    user=$(awk -v run="$run" '$1 == run { print $2 }' "$times" | median)
    awk -v name="$(name_of "$run")" -v total="$total" -v user="$user" -v floor="$floor_total" \
        'BEGIN { printf "%-40s %10.2f %8.2f %10.2f\n", name, total, user, (floor > 0 ? total / floor : 0) }'
done
