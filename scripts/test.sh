#!/usr/bin/env bash
# Builds everything and runs every test, on a fresh Debian 12 machine as on a developer's: the
# host build and its tests (with memcheck runs of touchpatch-sim), the same suite under the
# address and undefined-behaviour sanitizers, a minute of each fuzz target, the 32-bit Windows
# release build with its checks and ZIP, and the 64-bit Windows build under Wine: a smoke run with
# no controller, and whole runs against the simulated controller on a virtual display.
# Installs what is missing first (root, or sudo).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-packages.sh cmake ninja-build g++ libgtest-dev libgmock-dev valgrind \
    clang-14 libclang-rt-14-dev g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 wine64 \
    xvfb xdotool x11-apps imagemagick

cmake --preset host
cmake --build --preset host
ctest --preset host

cmake --preset host-asan
cmake --build --preset host-asan
ctest --preset host-asan

scripts/fuzz.sh "${TOUCHPATCH_FUZZ_SECONDS:-60}"

cmake --preset windows-i686
cmake --build --preset windows-i686
ctest --preset windows-i686
cmake --build --preset windows-i686 --target package

cmake --preset windows-x86_64
cmake --build --preset windows-x86_64
ctest --preset windows-x86_64
