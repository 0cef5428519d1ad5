#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for SECONDS (default 60), starting from the committed
# seed corpora; a crash, a leak or a broken invariant fails the run and leaves the input in
# build/fuzz/artifacts. Longer runs by hand: scripts/fuzz.sh 3600
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

scripts/install-packages.sh cmake ninja-build clang-14 libclang-rt-14-dev >&2
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

mkdir -p build/fuzz/artifacts
for target in reply_parsers feature_report whole_run; do
    work=build/fuzz/corpus/$target
    mkdir -p "$work"
    log=build/fuzz/$target.log
    if ! build/fuzz/fuzz/${target}_fuzz -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix=build/fuzz/artifacts/$target- "$work" fuzz/corpus/$target >"$log" 2>&1; then
        tail -40 "$log"
        echo "fuzz $target: FAILED (input in build/fuzz/artifacts)"
        exit 1
    fi
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz $target: $executions executions in $seconds s, no crash, leak or broken invariant"
done
