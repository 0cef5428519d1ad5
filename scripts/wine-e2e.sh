#!/usr/bin/env bash
# Runs the real x86-64 touchpatch.exe under Wine against the simulated touch controller, in a
# fresh prefix on its own Xvfb display, and checks one whole run: the frames that crossed the bus,
# the message box (caption, text, that it is the only window shown), and the exit status once the
# box is closed with Enter.
# usage: wine-e2e.sh EXE DLL_DIR CASE [SCREENSHOT.png]
#   CASE: patched | no-patch-needed | parameter-refused | no-controller
set -uo pipefail
exe=$1
dlls=$2
case_name=$3
screenshot=${4:-}

success="Success to patch touch parameters."
case $case_name in
patched)
    simbus="--version 1.0.7 --decoys 3"
    box=$success
    frames="OI SP3B00C8 SP3C0078 SP3E0100 PL" ;;
no-patch-needed)
    simbus="--version 1.0.6"
    box=$success
    frames="OI" ;;
parameter-refused)
    simbus="--version 1.0.8 --refuse-parameter 3C"
    box="Patch error."
    frames="OI SP3B00C8 SP3C0078 SP3C0078 SP3C0078 SP3C0078" ;;
no-controller)
    simbus="--no-controller --decoys 4"
    box=""
    frames="" ;;
*) echo "FAIL: unknown case $case_name"; exit 1 ;;
esac

fail() { echo "FAIL ($case_name): $*"; exit 1; }
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
for tool in "$wine" "$wineserver" Xvfb xdotool; do
    command -v "$tool" >/dev/null || fail "$tool is missing (Debian packages wine64, xvfb, xdotool)"
done

work=$(mktemp -d)
export WINEPREFIX=$work/prefix
program=""
xvfb=""
cleanup() {
    [ -n "$program" ] && kill "$program" 2>/dev/null
    "$wineserver" -k 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# A display of its own: Xvfb picks a free number and reports it.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=:$(cat "$work/display")

# The prefix is made first, so that its own set-up windows are not taken for the program's, and
# told to relay MessageBoxA alone, whose arguments show the box's text.
# No .NET or HTML engine: the prefix must never stop to offer downloading one.
WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all timeout 120 "$wine" wineboot -i >/dev/null 2>&1 ||
    fail "wineboot failed"
WINEDEBUG=-all timeout 60 "$wine" reg add 'HKCU\Software\Wine\Debug' /v RelayInclude \
    /d user32.MessageBoxA /f >/dev/null 2>&1 || fail "cannot set RelayInclude"
timeout 60 "$wineserver" -w

mkdir "$work/app"
cp "$exe" "$dlls/hid.dll" "$dlls/setupapi.dll" "$work/app/"
trace=$work/trace.txt
WINEDLLOVERRIDES="hid,setupapi=n,b" TOUCHPATCH_SIMBUS=$simbus \
    TOUCHPATCH_SIMTRACE="Z:${trace//\//\\}" WINEDEBUG=-all,+relay \
    timeout 120 "$wine" "$work/app/touchpatch.exe" >"$work/wine.log" 2>&1 &
program=$!

# Watch the screen until the program ends: every window shown, and the box closed with Enter.
shown=""
closed=""
for _ in $(seq 600); do
    kill -0 "$program" 2>/dev/null || break
    for window in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
        # A window gone between the search and this read has no name left to show.
        name=$(xdotool getwindowname "$window" 2>/dev/null) || continue
        [ -n "$name" ] || continue
        case " $shown " in *" [$name] "*) ;; *) shown="$shown [$name]" ;; esac
        if [ "$name" = MESSAGE ] && [ -z "$closed" ]; then
            sleep 0.5
            if [ -n "$screenshot" ]; then
                command -v xwd >/dev/null && command -v convert >/dev/null ||
                    fail "xwd or convert is missing (Debian packages x11-apps, imagemagick)"
                xwd -root -silent | convert xwd:- -trim -bordercolor '#3a6ea5' -border 24 \
                    "$screenshot" || fail "screenshot failed"
            fi
            timeout 20 xdotool windowfocus --sync "$window" key Return || fail "cannot press Enter"
            closed=yes
        fi
    done
    sleep 0.1
done
kill -0 "$program" 2>/dev/null && fail "still running after a minute (shown:$shown)"
wait "$program"
status=$?
program=""

# Each written frame, without its SOH and CR: "OI", "SP3B00C8", ...
sent=""
while read -r _ kind _ report; do
    [ "$kind" = write ] || continue
    read -r -a bytes <<<"$report"
    length=$((16#${bytes[1]}))
    frame=""
    for ((i = 3; i < 1 + length; ++i)); do frame+=$(printf "\\x${bytes[i]}"); done
    sent+="${sent:+ }$(printf '%b' "$frame")"
done <"$trace"
echo "frames sent: ${sent:-none}"
[ "$sent" = "$frames" ] || fail "frames sent were '$sent', expected '$frames'"

calls=$(grep -a 'Call user32.MessageBoxA' "$work/wine.log")
echo "message box calls: ${calls:-none}"
if [ -n "$box" ]; then
    [ "$(grep -c . <<<"$calls")" -eq 1 ] || fail "expected one MessageBoxA call"
    grep -qF "\"$box\"" <<<"$calls" || fail "the box does not say \"$box\""
    grep -qF '"MESSAGE",00000000)' <<<"$calls" || fail "caption or style wrong"
    [ "$shown" = " [MESSAGE]" ] || fail "windows shown:$shown (expected only the box)"
    [ -n "$closed" ] || fail "no box appeared on the screen"
else
    [ -z "$calls" ] || fail "a message box was called"
    [ -z "$shown" ] || fail "windows shown:$shown (expected none)"
fi
[ $status -eq 0 ] || fail "exit status $status"
echo "ok ($case_name): exit status 0, windows shown:${shown:- none}"
