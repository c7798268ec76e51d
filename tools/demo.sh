#!/usr/bin/env bash
# Lays out a scratch folder of sample clips (empty files) under build/demo and starts the program
# there, so that it can be tried without risking real videos. Answer Y, then Files_to_Rename, then
# for example 2025 11 21 15 30 00 and 2025 11 21 14 15 00.
set -euo pipefail
cd "$(dirname "$0")/.."
demo=build/demo
rm -rf "$demo"
mkdir -p "$demo/Files_to_Rename"
for name in \
    "2025_11_21_15_40_10.mp4" "2025-11-21 15.40.10.mp4" \
    "2025_11_21_15_41_07.mp4" "2025_11_21_15_41_07.MP4" \
    "2025_11_21_16_02_33.avi" "2025.11.21.16.02.33.avi" "2025-11-21-16-02-33.avi" \
    "2025_11_21_23_59_59.m4v" "2025_12_31_23_30_00.mp4" "2026_01_01_00_15_00.mp4"; do
    : > "$demo/Files_to_Rename/$name"
done
echo "Sample clips laid out in $demo/Files_to_Rename; the report will be $demo/DedUzarodivedizidUZOVU.txt"
cd "$demo"
exec ../DoridivezizoziRUR
