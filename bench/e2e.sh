#!/usr/bin/env bash
# The whole job, end to end, next to the floor: for each clip count and on tmpfs and on the disk,
# the program renames a fresh folder of clips with its dialogue piped in, and the floor
# (bench/e2e/rename_floor.cpp) renames another fresh copy of the same folder with nothing but
# renameat2. Prints the medians of the time per file, their ratio and the program's peak resident
# memory, and stops with an error when the two folders end with different names.
#
#   ./dev bench-e2e [COUNT...]            (builds first; default counts 1000 10000 100000)
#
# Environment: RUR_BENCH_REPEATS (runs of each, default 5), RUR_BENCH_DISK (scratch folder on the
# disk, default build/bench-e2e), RUR_BENCH_TMPFS (scratch folder on tmpfs, default
# /dev/shm/rur-bench-e2e), RUR_BENCH_PLACES (tmpfs, disk or both, default both), RUR_BENCH_PROGRAM
# (the program to time, default the one in build/, to compare another build of it),
# RUR_BENCH_SHUFFLE (the seed of the order in which the clips are made, default 20251121, the same
# for the program and the floor; off makes them in the order of their dates). Both scratch folders
# are removed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

program=${RUR_BENCH_PROGRAM:-$root/build/DoridivezizoziRUR}
layout=$root/build/bench/e2e/rur_clip_layout
floor=$root/build/bench/e2e/rur_rename_floor
for tool in "$program" "$layout" "$floor"; do
    [ -x "$tool" ] || { echo "missing $tool: run ./dev bench-e2e" >&2; exit 1; }
done

if [ ! -x /usr/bin/time ]; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing time" >&2
    "${sudo[@]}" apt-get update -q >&2
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q time >&2
fi

counts=("$@")
[ ${#counts[@]} -gt 0 ] || counts=(1000 10000 100000)
repeats=${RUR_BENCH_REPEATS:-5}
disk=${RUR_BENCH_DISK:-$root/build/bench-e2e}
tmpfs=${RUR_BENCH_TMPFS:-/dev/shm/rur-bench-e2e}
places=()
for label in ${RUR_BENCH_PLACES:-tmpfs disk}; do
    case $label in
        tmpfs) places+=("$tmpfs") ;;
        disk) places+=("$disk") ;;
        *) echo "RUR_BENCH_PLACES: tmpfs or disk, not $label" >&2; exit 1 ;;
    esac
done

shuffle=(--shuffle "${RUR_BENCH_SHUFFLE:-20251121}")
[ "${RUR_BENCH_SHUFFLE:-}" != off ] || shuffle=()
camera="2025 11 21 15 30 00"
actual="2024 08 03 07 12 00"

cleanup() { rm -rf "$disk" "$tmpfs"; }
trap cleanup EXIT

filesystem_of() { df --output=fstype "$1" | tail -n 1; }

median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }

# Lays out a fresh copy of the clips in $1/clips and writes out whatever the filesystem still
# holds in memory, so that no earlier run's writing is left to slow the next one.
fresh_copy() {
    rm -rf "$1"
    mkdir -p "$1"
    "$layout" "${shuffle[@]}" "$1/clips" "$2"
    sync -f "$1"
}

# Sets children_cpu to the processor time (user and system, in µs) of every process this shell has
# waited for, to the millisecond. Read by the shell itself: a subshell would count from zero.
read_children_cpu() {
    local shell_times children_times
    times >"$root/build/.bench-times"
    { read -r shell_times && read -r children_times; } <"$root/build/.bench-times"
    children_cpu=$(($(seconds_to_us "${children_times% *}") + $(seconds_to_us "${children_times#* }")))
}

# "1m2.345s" in µs.
seconds_to_us() {
    local minutes=${1%%m*} seconds=${1#*m}
    seconds=${seconds%s}
    echo $(((10#$minutes * 60 + 10#${seconds%.*}) * 1000000 + 10#${seconds#*.} * 1000))
}

# Runs one command under /usr/bin/time -v in $run; sets elapsed and cpu (user and system time),
# both in µs, and rss (KiB).
timed() {
    local run=$1 input=$2
    shift 2
    cd "$run"
    # Read straight from the shell's clock: starting a process to read it would be timed too.
    read_children_cpu
    local cpu_before=$children_cpu
    local start=$EPOCHREALTIME status=0
    /usr/bin/time -v -o "$run/time.txt" "$@" <"$input" >"$run/stdout.txt" 2>"$run/stderr.txt" ||
        status=$?
    local end=$EPOCHREALTIME
    cd "$root"
    if [ "$status" -ne 0 ]; then
        echo "$* ended with status $status in $run:" >&2
        cat "$run/stderr.txt" >&2
        trap - EXIT
        exit 1
    fi
    elapsed=$((10#${end/./} - 10#${start/./}))
    read_children_cpu
    cpu=$((children_cpu - cpu_before))
    rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$run/time.txt")
}

per_file() { awk -v t="$1" -v n="$2" 'BEGIN { printf "%.2f", t / n }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# Wall-clock time is what a user waits for; processor time (user and system) is shown beside it
# because it hardly moves when other work shares the machine.
printf '%-6s %-6s %7s | %-28s | %-28s | %s\n' "" "" "" "wall µs/file" "processor µs/file" "program"
printf '%-6s %-6s %7s | %8s %8s %8s | %8s %8s %8s | %s\n' \
    "fs" "kind" "clips" "program" "floor" "ratio" "program" "floor" "ratio" "peak RSS"
declare -A per_file_of
for place in "${places[@]}"; do
    mkdir -p "$place"
    kind=$(filesystem_of "$place")
    label=$([ "$place" = "$tmpfs" ] && echo tmpfs || echo disk)
    # Yes, the folder, both timestamps, and Enter at the closing prompt.
    printf 'Y\nclips\n%s\n%s\n\n' "$camera" "$actual" >"$place/answers.txt"
    for count in "${counts[@]}"; do
        program_times=() floor_times=() program_cpus=() floor_cpus=() rss_values=()
        for ((round = 1; round <= repeats; round++)); do
            fresh_copy "$place/program" "$count"
            timed "$place/program" "$place/answers.txt" "$program"
            program_times+=("$elapsed") program_cpus+=("$cpu") rss_values+=("$rss")

            fresh_copy "$place/floor" "$count"
            timed "$place/floor" /dev/null "$floor" clips "$camera" "$actual"
            floor_times+=("$elapsed") floor_cpus+=("$cpu")

            # A fast wrong program must not pass: both folders must end with the same names, every
            # clip renamed.
            # (Counted line by line: the report's count has six columns, which a million overflows.)
            if [ "$(grep -c '^Successfully renamed ' "$place/program/DedUzarodivedizidUZOVU.txt")" != "$count" ] ||
                ! grep -qx "$count of $count renamed" "$place/floor/stdout.txt" ||
                ! cmp -s <(LC_ALL=C ls -A "$place/program/clips") <(LC_ALL=C ls -A "$place/floor/clips"); then
                echo "The program's folder and the floor's differ ($label, $count clips); left in $place" >&2
                trap - EXIT
                exit 1
            fi
        done
        program_median=$(median "${program_times[@]}")
        floor_median=$(median "${floor_times[@]}")
        program_cpu=$(median "${program_cpus[@]}")
        floor_cpu=$(median "${floor_cpus[@]}")
        per_file_of[$label,$count]=$(per_file "$program_median" "$count")
        printf '%-6s %-6s %7d | %8s %8s %8s | %8s %8s %8s | %d KiB\n' "$label" "$kind" "$count" \
            "${per_file_of[$label,$count]}" "$(per_file "$floor_median" "$count")" \
            "$(ratio "$program_median" "$floor_median")" \
            "$(per_file "$program_cpu" "$count")" "$(per_file "$floor_cpu" "$count")" \
            "$(ratio "$program_cpu" "$floor_cpu")" "$(median "${rss_values[@]}")"
        # The time the journal waits for the medium, on a line of its own: one more run, whose
        # syncs strace times by the wall clock (its own cost is left out of the table above).
        if command -v strace >/dev/null; then
            fresh_copy "$place/program" "$count"
            (cd "$place/program" && strace -f -c -w -e trace=fdatasync,fsync -o "$place/syncs.txt" \
                "$program" <"$place/answers.txt" >/dev/null 2>&1)
            awk -v label="$label" -v count="$count" '$NF == "fdatasync" || $NF == "fsync" {
                    calls += $4; seconds += $2 }
                END { printf "%-6s syncs at %d clips: %d calls, %.1f ms in all\n", label, count,
                      calls, seconds * 1000 }' "$place/syncs.txt"
        fi
        rm -rf "$place/program" "$place/floor"
    done
done

first=${counts[0]}
last=${counts[${#counts[@]} - 1]}
if [ "$first" != "$last" ]; then
    for label in ${RUR_BENCH_PLACES:-tmpfs disk}; do
        printf 'program wall µs/file at %d / at %d, %s: %s\n' "$last" "$first" "$label" \
            "$(ratio "${per_file_of[$label,$last]}" "${per_file_of[$label,$first]}")"
    done
fi
echo "Every run left the same names as the floor."
