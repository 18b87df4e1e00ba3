#!/usr/bin/env bash
# Fails when the configured build found a CMake package that scripts/install-deps.sh does not
# install, neither by name nor as a dependency of a listed package. Such a package happens to
# be on this machine but is missing on a fresh one. Run after configuring into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
cache=${1:-build/CMakeCache.txt}
[ -f "$cache" ] || { echo "check-deps: $cache fehlt (erst konfigurieren)." >&2; exit 2; }

mapfile -t listed < <(bash scripts/install-deps.sh --list)
declare -A allowed=()
for p in "${listed[@]}"; do allowed[$p]=1; done
while read -r dep; do
  dep=${dep#*: }; dep=${dep%%:*}
  [[ $dep == \<* ]] && continue
  allowed[$dep]=1
done < <(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts \
           --no-breaks --no-replaces --no-enhances "${listed[@]}" 2>/dev/null |
         sed -n 's/^ *\(Pre\)\{0,1\}Depends: *//p; /^[a-z0-9]/p')

fail=0
while IFS= read -r dir; do
  [ -d "$dir" ] || continue
  # The package that ships the config file is the one the build needs; the folder itself may
  # be shared by several packages.
  name=$(basename "$dir")
  probe=$dir
  for f in "$dir/${name}Config.cmake" "$dir/${name,,}-config.cmake"; do
    [ -f "$f" ] && probe=$f && break
  done
  owners=$(dpkg -S "$probe" 2>/dev/null | sed 's/: .*//; s/, /\n/g' | sed 's/:.*//' | sort -u || true)
  if [ -z "$owners" ]; then
    echo "check-deps: kein Debian-Paket besitzt $probe" >&2
    fail=1
    continue
  fi
  ok=0
  for o in $owners; do [ -n "${allowed[$o]:-}" ] && ok=1; done
  if [ $ok -eq 0 ]; then
    echo "check-deps: $probe gehört zu '$(echo $owners)', das scripts/install-deps.sh nicht installiert." >&2
    fail=1
  fi
done < <(sed -n 's/^[A-Za-z0-9_]*_DIR:[A-Z]*=\(\/usr\/.*\)$/\1/p' "$cache" | sort -u)
[ $fail -eq 0 ] && echo "check-deps: alle CMake-Pakete kommen aus scripts/install-deps.sh."
exit $fail
