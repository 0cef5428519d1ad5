#!/usr/bin/env bash
# Builds everything and runs every test, on a fresh Debian 12 machine as on a developer's.
# Installs what is missing first (needs root, or sudo, for apt-get).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-packages.sh cmake ninja-build g++ libgtest-dev libgmock-dev

cmake --preset host
cmake --build --preset host
ctest --preset host
