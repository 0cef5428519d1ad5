#!/usr/bin/env bash
# Prints an executable's size as a ratio to a yardstick's, and fails past the goal.
# usage: size-ratio.sh EXE YARDSTICK GOAL
set -euo pipefail
size=$(stat -c %s "$1")
yardstick=$(stat -c %s "$2")
awk -v s="$size" -v y="$yardstick" -v goal="$3" -v a="$(basename "$1")" -v b="$(basename "$2")" 'BEGIN {
    ratio = s / y
    printf "size: %s %d bytes, %s %d bytes, ratio %.3f (goal at most %s)\n", a, s, b, y, ratio, goal
    exit (ratio <= goal) ? 0 : 1
}'
