#!/usr/bin/env bash
# Takes a shipped program through one whole session, as its user would, and checks every byte it
# leaves: six clips with a burst and a year boundary, shifted back an hour and a quarter (the
# README's session).
#   tools/package-session.sh COMMAND...   for example /usr/bin/DoridivezizoziRUR, or
#                                         tools/run-under-wine.sh /abs/path/DoridivezizoziRUR.exe
# The program starts in a scratch folder, so COMMAND needs absolute paths. The expected console
# output and report are in tools/package-session/.
set -euo pipefail
expected=$(cd "$(dirname "$0")/package-session" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

mkdir "$scratch/Files_to_Rename"
for name in "2025-11-21 15.40.10.mp4" "2025.11.21.16.02.33.avi" "2025_11_21_15_40_10.mp4" \
    "2025_11_21_16_02_33.avi" "2025_12_31_23_30_00.MP4" "2026_01_01_00_15_00.mp4"; do
    : >"$scratch/Files_to_Rename/$name"
done

status=0
(cd "$scratch" && printf 'Y\nFiles_to_Rename\n2025 11 21 15 30 00\n2025 11 21 14 15 00\n\n' |
    "$@" >"$scratch/output" 2>"$scratch/error") || status=$?

failures=0
differs() {  # what, expected file, actual file
    if ! cmp -s "$2" "$3"; then
        echo "package session: the $1 differs (expected, then actual, with line ends shown):"
        diff <(cat -A "$2") <(cat -A "$3") || true
        failures=$((failures + 1))
    fi
}
[ "$status" -eq 0 ] || { echo "package session: exit status $status, not 0"; failures=1; }
differs "console output" "$expected/output.txt" "$scratch/output"
differs "standard error" <(printf 'Program stopped\r\n') "$scratch/error"
differs "report" "$expected/report.txt" "$scratch/DedUzarodivedizidUZOVU.txt"
differs "folder" <(printf '%s\n' "2025 11 21 14 25 01.mp4" "2025 11 21 14 25 10.mp4" \
    "2025 11 21 14 47 01.avi" "2025 11 21 14 47 33.avi" "2025 12 31 22 15 00.MP4" \
    "2025 12 31 23 00 00.mp4") <(LC_ALL=C ls "$scratch/Files_to_Rename")
if [ -e "$scratch/list.txt" ]; then
    echo "package session: list.txt was left behind"
    failures=$((failures + 1))
fi
[ "$failures" -eq 0 ] || exit 1
echo "package session: $* renamed six clips; output, report and names as expected"
