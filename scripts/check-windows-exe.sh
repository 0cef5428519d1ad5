#!/usr/bin/env bash
# Checks that an executable is what a Windows user needs: a 32-bit x86 GUI-subsystem program that
# imports from Windows' own DLLs only, with its manifest and version resource.
# usage: check-windows-exe.sh EXE OBJDUMP
set -uo pipefail
exe=$1
objdump=$2
failed=0
fail() { echo "FAIL: $*"; failed=1; }

headers=$("$objdump" -p "$exe") || { echo "FAIL: $objdump cannot read $exe"; exit 1; }
grep -q 'file format pei-i386' <<<"$headers" || fail "not a PE32 image for i386"
grep -Eq '^Magic[[:space:]]+010b' <<<"$headers" || fail "optional header is not PE32"
grep -Eq '^Subsystem[[:space:]]+00000002' <<<"$headers" || fail "subsystem is not Windows GUI"

allowed='^(KERNEL32|USER32|SETUPAPI|HID|msvcrt)\.dll$'
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
echo "imports: $(tr '\n' ' ' <<<"$imports")"
while read -r dll; do
    [ -z "$dll" ] || grep -Eiq "$allowed" <<<"$dll" || fail "imports from $dll"
done <<<"$imports"

LC_ALL=C grep -aq 'requestedExecutionLevel level="asInvoker" uiAccess="false"' "$exe" ||
    fail "no manifest with an asInvoker execution level"
# VERSIONINFO keys are stored as UTF-16LE.
utf16() { sed 's/./&\\x00/g' <<<"$1"; }
LC_ALL=C grep -aPq "$(utf16 VS_VERSION_INFO)" "$exe" || fail "no VERSIONINFO resource"
LC_ALL=C grep -aPq "$(utf16 FileVersion)" "$exe" || fail "VERSIONINFO has no FileVersion"

[ $failed -eq 0 ] && echo "ok: PE32 i386, Windows GUI, imports within the allowed set, manifest, VERSIONINFO"
exit $failed
