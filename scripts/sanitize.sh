#!/usr/bin/env bash
# Builds the whole project with AddressSanitizer and UndefinedBehaviorSanitizer
# in a build folder of its own and runs the whole test suite offscreen under
# them. The first report ends the process that made it, so its test fails.
#   scripts/sanitize.sh
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR=${SANITIZE_BUILD_DIR:-build-sanitize}
FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all"

cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
    -DCMAKE_CXX_FLAGS="$FLAGS" -DCMAKE_EXE_LINKER_FLAGS="$FLAGS" -DKALDOR_WERROR=ON
cmake --build "$BUILD_DIR" --parallel "$(nproc)"

export ASAN_OPTIONS=halt_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
QT_QPA_PLATFORM=offscreen ctest --test-dir "$BUILD_DIR" --output-on-failure --parallel "$(nproc)"
