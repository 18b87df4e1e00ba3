#!/usr/bin/env bash
# Installs what is missing, builds Kilvaro and starts it on the demonstration program
# folder ./demo (filled with demonstration data on its first run).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKILVARO_BUILD_TESTS=OFF >/dev/null
cmake --build build --target kilvaro
if [ ! -e demo/kilvaro.ini ]; then
  build/kilvaro --home demo --demo
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "Keine grafische Oberfläche gefunden (DISPLAY ist leer); starte unter xvfb-run." >&2
  exec xvfb-run -a build/kilvaro --home demo "$@"
fi
exec build/kilvaro --home demo "$@"
