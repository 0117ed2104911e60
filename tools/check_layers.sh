#!/usr/bin/env bash
# Fails when an #include runs upward between the layers of src/, or from logic into windows.
# Layers, bottom first; folders on one line may use each other's headers:
#   storage | model | ui | printing database | editor | months | startup | cli | app
# A file outside gui/ never includes a gui/ header. Arrows that still run upward while the code
# is moved down are listed in tools/layers-known.txt ("file -> header"); a new one fails the check,
# and a listed one that is gone is reported so the list only shrinks.
set -euo pipefail
cd "$(dirname "$0")/.."

rank() {
    case "$1" in
        storage) echo 0 ;; model) echo 1 ;; ui) echo 2 ;;
        printing | database) echo 3 ;; editor) echo 4 ;; months) echo 5 ;;
        startup) echo 6 ;; cli) echo 7 ;; app) echo 8 ;; *) echo -1 ;;
    esac
}

known=tools/layers-known.txt
found=$(mktemp)
trap 'rm -f "$found"' EXIT

while IFS= read -r file; do
    rel=${file#src/}
    layer=${rel%%/*}
    from=$(rank "$layer")
    [ "$from" -ge 0 ] || continue
    gui=0
    [[ "$rel" == */gui/* || "$layer" == app ]] && gui=1
    while IFS= read -r inc; do
        target=${inc%%/*}
        to=$(rank "$target")
        [ "$to" -ge 0 ] || continue
        if [ "$to" -gt "$from" ] || { [ "$gui" -eq 0 ] && [[ "$inc" == */gui/* ]]; }; then
            echo "$file -> $inc" >>"$found"
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find src -name '*.h' -o -name '*.cpp' | sort)

status=0
while IFS= read -r line; do
    if ! grep -qxF "$line" <(grep -v '^#' "$known" 2>/dev/null || true); then
        echo "upward include: $line"
        status=1
    fi
done <"$found"
while IFS= read -r line; do
    if ! grep -qxF "$line" "$found"; then
        echo "gone, remove from $known: $line"
        status=1
    fi
done < <(grep -v '^#' "$known" 2>/dev/null | grep -v '^$' || true)

total=$(wc -l <"$found")
[ "$status" -eq 0 ] && echo "layers: no new upward include ($total known, listed in $known)"
exit "$status"
