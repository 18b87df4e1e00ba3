#!/usr/bin/env bash
# Installs what is missing, builds Kilvaro with its tests (warnings are errors) and runs
# the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKILVARO_WERROR=ON -DKILVARO_BUILD_TESTS=ON >/dev/null
cmake --build build
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 2
