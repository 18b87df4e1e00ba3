#!/usr/bin/env bash
# Builds Kilvaro in Debug with AddressSanitizer and UndefinedBehaviorSanitizer in its own
# build folder (build-san) and runs the whole test suite under them. Any report fails.
# Slow (a full build of its own), so not part of .ci/run: run it before closing work that
# changes how windows and dialogs are created or destroyed.
#
# Leak detection is off: Qt, fontconfig and the offscreen platform keep caches alive until
# exit, and those reports would bury real faults. Use-after-free, double free, bad free,
# overflows and every undefined-behaviour check stay on and stop the run.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-san}
JOBS=${JOBS:-2}

launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKILVARO_WERROR=ON \
  -DKILVARO_BUILD_TESTS=ON "${launcher[@]}" \
  -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$BUILD_DIR" -j "$JOBS"

export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1
cd "$BUILD_DIR"
ctest --output-on-failure -j "$JOBS" "$@"
