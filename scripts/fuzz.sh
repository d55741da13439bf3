#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in a build folder of their own, then runs each
# from its seed corpus for a bounded time. Any crash, hang, sanitizer report
# or broken property fails; the input that caused it is kept.
#   scripts/fuzz.sh [seconds per target, default 30]
set -euo pipefail
cd "$(dirname "$0")/.."

SECONDS_PER_TARGET=${1:-30}
# Absolute paths: a target may change its current folder as the program does.
BUILD_DIR=$(realpath -m "${FUZZ_BUILD_DIR:-build-fuzz}")
CORPUS_DIR=$PWD/tests/fuzz/corpus
FINDINGS_DIR=$BUILD_DIR/findings
JOBS=$(nproc)

cmake -S tests/fuzz -B "$BUILD_DIR" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 \
    -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -gline-tables-only" >/dev/null
mapfile -t TARGETS <"$BUILD_DIR/targets.txt"
cmake --build "$BUILD_DIR" --parallel "$JOBS" --target "${TARGETS[@]}"

export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/fuzz/lsan.supp:print_suppressions=0
rm -rf "$FINDINGS_DIR"
mkdir -p "$FINDINGS_DIR"

# Runs one target; new inputs go to a scratch folder so the seeds in the
# tree stay as they are.
run_target() {
    local target=$1 scratch
    scratch=$(mktemp -d)
    local status=0
    "$BUILD_DIR/$target" -max_total_time="$SECONDS_PER_TARGET" -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$FINDINGS_DIR/$target-" \
        "$scratch" "$CORPUS_DIR/$target" >"$FINDINGS_DIR/$target.log" 2>&1 || status=$?
    rm -rf "$scratch"
    echo "$status" >"$FINDINGS_DIR/$target.status"
}

for target in "${TARGETS[@]}"; do
    if [ ! -d "$CORPUS_DIR/$target" ]; then
        echo "fuzz: no seed corpus $CORPUS_DIR/$target" >&2
        exit 1
    fi
done

# One target per core at a time.
for target in "${TARGETS[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$JOBS" ]; do
        wait -n || true
    done
    run_target "$target" &
done
wait

failed=0
printf '%-18s %12s %10s  %s\n' target executions exec/s result
for target in "${TARGETS[@]}"; do
    log=$FINDINGS_DIR/$target.log
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
    result=clean
    if [ "$(cat "$FINDINGS_DIR/$target.status")" != 0 ]; then
        result="FINDING (see $log)"
        failed=1
    fi
    printf '%-18s %12s %10s  %s\n' "$target" "${runs:-?}" "${rate:-?}" "$result"
done
if [ "$failed" != 0 ]; then
    for target in "${TARGETS[@]}"; do
        if [ "$(cat "$FINDINGS_DIR/$target.status")" != 0 ]; then
            echo "---- $target"
            tail -n 60 "$FINDINGS_DIR/$target.log"
        fi
    done
    exit 1
fi
