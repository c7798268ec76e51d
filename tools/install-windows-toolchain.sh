#!/bin/bash
# Installs what the Windows build needs on Debian, and only what is missing: the mingw-w64 cross
# compiler, Wine to run the .exe and its tests, and GoogleTest's sources, which the Windows build
# compiles for Windows.
set -euo pipefail

# locales: the sources from which the tests compile the German, Russian and Japanese locales that
# give Wine its code pages.
packages=(g++-mingw-w64-x86-64-posix wine wine64 googletest locales)

missing=()
for package in "${packages[@]}"; do
    status="$(dpkg-query --show --showformat='${Status}' "${package}" 2>/dev/null || true)"
    if [[ "${status}" != "install ok installed" ]]; then
        missing+=("${package}")
    fi
done

if [[ ${#missing[@]} -eq 0 ]]; then
    echo "Windows toolchain: everything is installed"
    exit 0
fi

run_as_root=()
if [[ "$(id -u)" -ne 0 ]]; then
    run_as_root=(sudo)
fi

echo "Windows toolchain: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${run_as_root[@]}" apt-get update
"${run_as_root[@]}" apt-get install --yes --no-install-recommends "${missing[@]}" </dev/null
