#!/usr/bin/env bash
# Installs what Kilvaro needs to build and test on Debian 12, if it is missing.
set -euo pipefail
packages=(cmake g++ ninja-build pkg-config
          qt6-base-dev qt6-charts-dev libqt6opengl6-dev libqt6sql6-sqlite libqt6svg6
          qt6-translations-l10n
          googletest libgtest-dev libgmock-dev libbenchmark-dev
          xvfb xauth poppler-utils)
# --list prints the package names (the CI dependency guard reads them).
if [ "${1:-}" = "--list" ]; then printf '%s\n' "${packages[@]}"; exit 0; fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installiere: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
