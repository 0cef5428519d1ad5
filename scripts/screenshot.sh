#!/usr/bin/env bash
# Takes a picture of the message box that a user sees after a 1.0.7 controller was patched: the
# real touchpatch.exe under Wine, against the simulated controller, into docs/message-box.png.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh cmake ninja-build g++-mingw-w64-x86-64-win32 wine64 xvfb xdotool \
    x11-apps imagemagick >&2
cmake --preset windows-x86_64 >/dev/null
cmake --build --preset windows-x86_64
scripts/wine-e2e.sh build/windows-x86_64/touchpatch.exe build/windows-x86_64/simulated-dlls \
    patched docs/message-box.png
echo "written: docs/message-box.png"
