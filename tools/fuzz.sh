#!/usr/bin/env bash
# Builds the fuzz targets (preset "fuzz": clang++ with libFuzzer and the sanitizers) and runs them.
#   tools/fuzz.sh [seconds] [target...]  fuzzes every target (or those named) for that many
#                                        seconds each (default 60), from fuzz/corpus/<target> and
#                                        what earlier runs kept in build-fuzz/corpus/<target>
#   tools/fuzz.sh --replay               runs every target once over each of its seeds, as CI does
# Findings go to build-fuzz/artifacts/<target>/, logs to build-fuzz/logs/<target>.log. A seed is a
# file of fuzz/corpus/<target>/ named after what it holds; a finding's reproducer joins them.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v clang++ >/dev/null ||
    [ ! -f "$(clang++ --print-resource-dir)/lib/linux/libclang_rt.fuzzer-x86_64.a" ]; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -q >&2
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q clang libclang-rt-dev >&2
fi
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2
# The targets make and remove files at every input; a folder in memory spares the disk.
[ -n "${TMPDIR:-}" ] || [ ! -w /dev/shm ] || export TMPDIR=/dev/shm

replay=false seconds=60 targets=(whole_program journal container) failed=()
[ "${1:-}" = "--replay" ] && replay=true && shift
[ $# -gt 0 ] && ! $replay && seconds=$1 && shift
[ $# -gt 0 ] && targets=("$@")
for target in "${targets[@]}"; do
    log=build-fuzz/logs/$target.log run=(fuzz/corpus/"$target"/*)
    mkdir -p build-fuzz/logs "build-fuzz/corpus/$target" "build-fuzz/artifacts/$target"
    $replay || run=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
        "build-fuzz/corpus/$target" "fuzz/corpus/$target")
    if build-fuzz/fuzz/rur_fuzz_"$target" -artifact_prefix="build-fuzz/artifacts/$target/" \
        "${run[@]}" >"$log" 2>&1; then
        echo "fuzz: $target passed ($(grep -cE '^(Executed|#[0-9])' "$log") lines of log: $log)"
    else
        echo "fuzz: $target FOUND A PROBLEM:"
        tail -n 40 "$log"
        failed+=("$target")
    fi
done
[ ${#failed[@]} -eq 0 ] || { echo "fuzz targets with findings: ${failed[*]}"; exit 1; }
