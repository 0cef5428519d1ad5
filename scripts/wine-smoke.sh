#!/usr/bin/env bash
# Runs the x86-64 touchpatch.exe under Wine, in a throw-away prefix, on a machine with no touch
# controller: it must exit 0 without showing a message box, well within a minute.
# usage: wine-smoke.sh EXE
set -uo pipefail
exe=$1
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
[ -x "$wine" ] || { echo "FAIL: $wine is missing (Debian package wine64)"; exit 1; }

export WINEPREFIX
WINEPREFIX=$(mktemp -d)
log=$(mktemp)
cleanup() { "$wineserver" -k 2>/dev/null; rm -rf "$WINEPREFIX" "$log"; }
trap cleanup EXIT

# The prefix is made first, so that its own set-up dialogs are not taken for the program's.
WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all DISPLAY= timeout 120 "$wine" wineboot -i >/dev/null 2>&1
"$wineserver" -w

# With no display a message box still goes through the dialog code, which says so.
start=$(date +%s%N)
WINEDEBUG=-all,+dialog DISPLAY= timeout 60 "$wine" "$exe" >"$log" 2>&1
status=$?
elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
echo "exit status $status after ${elapsed_ms} ms"
if grep -q 'message box font' "$log"; then
    echo "FAIL: a message box was shown"; exit 1
fi
[ $status -eq 0 ] || { echo "FAIL: exit status $status"; tail -20 "$log"; exit 1; }
[ $elapsed_ms -lt 30000 ] || { echo "FAIL: took ${elapsed_ms} ms"; exit 1; }
echo "ok: no message box, exit status 0"
