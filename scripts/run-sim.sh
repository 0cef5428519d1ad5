#!/usr/bin/env bash
# Builds the host tools and runs touchpatch over its built-in simulated touch controller.
# Options go to touchpatch-sim (see --help); with none, a 1.0.7 controller is patched.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-packages.sh cmake ninja-build g++ libgtest-dev libgmock-dev >&2
cmake --preset host >&2
cmake --build --preset host --target touchpatch-sim >&2
exec build/host/touchpatch-sim "$@"
