#!/usr/bin/env bash
# Builds the fuzz targets (CMake preset "fuzz": clang++ with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs them.
#   fuzz/run.sh [seconds] [target...]  fuzzes every target (or those named) in turn, for that many
#                                      seconds each (default 60), from the seeds in
#                                      fuzz/corpus/<target> and what earlier runs kept in
#                                      build-fuzz/corpus/<target>
#   fuzz/run.sh --replay               runs every target once over each of its seeds, as CI does
# Whatever a run finds is written to build-fuzz/artifacts/<target>/ (replay it by passing the file
# to build-fuzz/fuzz/rur_fuzz_<target>); each run's log is build-fuzz/logs/<target>.log.
# clang, the libFuzzer runtime, cmake and ninja are installed with apt-get when missing.
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(integer_input field_input line_rendering corrected_date whole_program)

install_missing() {
    local missing=()
    command -v cmake >/dev/null || missing+=(cmake)
    command -v ninja >/dev/null || missing+=(ninja-build)
    if ! command -v clang++ >/dev/null; then
        missing+=(clang libclang-rt-dev)
    elif [ ! -f "$(clang++ --print-resource-dir)/lib/linux/libclang_rt.fuzzer-x86_64.a" ]; then
        missing+=(libclang-rt-dev)
    fi
    if [ ${#missing[@]} -gt 0 ]; then
        local sudo=()
        [ "$(id -u)" -eq 0 ] || sudo=(sudo)
        echo "Installing ${missing[*]}" >&2
        "${sudo[@]}" apt-get update -q >&2
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q "${missing[@]}" >&2
    fi
}

install_missing
# Runs started side by side (one target each) build one after the other.
mkdir -p build-fuzz
{
    flock 9
    cmake --preset fuzz >/dev/null
    cmake --build --preset fuzz -j2
} 9>build-fuzz/.build-lock

# The targets make and remove files at every input; a folder in memory spares the disk.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi

failed=()
if [ "${1:-}" = "--replay" ]; then
    for target in "${targets[@]}"; do
        seeds=(fuzz/corpus/"$target"/*)
        if build-fuzz/fuzz/rur_fuzz_"$target" "${seeds[@]}" >"build-fuzz/replay-$target.log" 2>&1
        then
            echo "fuzz replay: $target: ${#seeds[@]} seeds passed"
        else
            echo "fuzz replay: $target FAILED:"
            tail -n 40 "build-fuzz/replay-$target.log"
            failed+=("$target")
        fi
    done
else
    seconds="${1:-60}"
    [ $# -gt 0 ] && shift
    [ $# -gt 0 ] && targets=("$@")
    mkdir -p build-fuzz/logs
    for target in "${targets[@]}"; do
        mkdir -p "build-fuzz/corpus/$target" "build-fuzz/artifacts/$target"
        log="build-fuzz/logs/$target.log"
        echo "fuzzing $target for $seconds s (log: $log)"
        if build-fuzz/fuzz/rur_fuzz_"$target" -max_total_time="$seconds" -timeout=10 \
            -rss_limit_mb=2048 -print_final_stats=1 \
            -artifact_prefix="build-fuzz/artifacts/$target/" \
            "build-fuzz/corpus/$target" "fuzz/corpus/$target" >"$log" 2>&1; then
            grep -E '^#[0-9]+' "$log" | tail -n 1
            grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$log" || true
        else
            echo "$target FOUND A PROBLEM:"
            tail -n 40 "$log"
            failed+=("$target")
        fi
    done
fi

if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz targets with findings: ${failed[*]}"
    exit 1
fi
