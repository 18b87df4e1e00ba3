#!/usr/bin/env bash
# Fails when a file under src/ includes a header of a layer above its own, or when a window
# (src/<area>/ui/) runs SQL itself. The layers, lowest first (README, "Code layout"):
#   base  data  reports  masterdata  trips  invoicing  app
# Within each area the widget-free code (src/<area>/) lies below its windows (src/<area>/ui/):
# a widget-free file includes no ui/ header at all.
set -euo pipefail
cd "$(dirname "$0")/.."

layers=(base data reports masterdata trips invoicing app)
rank() {
    local i
    for i in "${!layers[@]}"; do
        [[ ${layers[$i]} == "$1" ]] && { echo "$i"; return; }
    done
    echo -1
}

failures=0
while IFS= read -r file; do
    rel=${file#src/}
    area=${rel%%/*}
    own=$(rank "$area")
    [[ $rel == */ui/* ]] && own_ui=1 || own_ui=0
    if [[ $own -lt 0 ]]; then
        [[ $rel == main.cpp ]] && continue
        echo "$file: folder '$area' belongs to no layer"
        failures=$((failures + 1))
        continue
    fi
    while IFS=: read -r line header; do
        target_area=${header%%/*}
        target=$(rank "$target_area")
        [[ $target -lt 0 ]] && continue # a header outside src/ (Qt, generated ui_*.h)
        [[ $header == */ui/* ]] && target_ui=1 || target_ui=0
        if [[ $target -gt $own ]]; then
            echo "$file:$line: includes \"$header\" from layer '$target_area' above '$area'"
            failures=$((failures + 1))
        elif [[ $target_ui -eq 1 && $own_ui -eq 0 ]]; then
            echo "$file:$line: widget-free code includes the window header \"$header\""
            failures=$((failures + 1))
        fi
    done < <(grep -n -o -E '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[^"]+"' "$file" |
             sed -E 's/^([0-9]+):.*"([^"]+)"/\1:\2/')
done < <(find src -name '*.cpp' -o -name '*.h' | sort)

# Windows bind widgets and call rules: no SQL text and no query objects in src/*/ui/.
while IFS= read -r hit; do
    echo "$hit: a window runs SQL; move it into a rule class below the window"
    failures=$((failures + 1))
done < <(grep -n -i -E 'QSqlQuery|"[[:space:]]*(select|update|insert into|delete from)[[:space:]]' \
             src/*/ui/*.cpp src/*/ui/*.h 2>/dev/null || true)

if [[ $failures -gt 0 ]]; then
    echo "check-layers: $failures violation(s)" >&2
    exit 1
fi
echo "check-layers: every include follows the layers; no window runs SQL"
