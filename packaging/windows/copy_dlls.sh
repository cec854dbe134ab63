#!/usr/bin/env bash
# Copies into FOLDER every DLL that its programs and plugins load, and those
# DLLs' own, found in the SEARCH folders; Windows' own DLLs are left out, as
# they are in no search folder. Fails naming any DLL found nowhere that is
# not Windows' own, as Wine's copy of Windows has them, when Wine is here.
# Usage: copy_dlls.sh FOLDER SEARCH...
set -euo pipefail
folder=$1
shift
search=("$@")

declare -A seen=()
queue=()
while IFS= read -r -d '' file; do
    queue+=("$file")
done < <(find "$folder" \( -name '*.exe' -o -name '*.dll' \) -print0)

system=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
missing=()
while [ ${#queue[@]} -gt 0 ]; do
    file=${queue[0]}
    queue=("${queue[@]:1}")
    while read -r dll; do
        key=${dll,,}
        [ -n "${seen[$key]:-}" ] && continue
        seen[$key]=1
        found=""
        for dir in "${search[@]}"; do
            if [ -f "$dir/$dll" ]; then
                found=$dir/$dll
                break
            fi
        done
        if [ -n "$found" ]; then
            cp "$found" "$folder/"
            queue+=("$folder/$dll")
        elif [ -d "$system" ] && [[ ! $key =~ ^(api-ms-win-|ext-ms-) ]] &&
            [ ! -f "$system/$key" ]; then
            missing+=("$dll (for $(basename "$file"))")
        fi
    done < <(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p')
done
if [ ${#missing[@]} -gt 0 ]; then
    printf 'not found: %s\n' "${missing[@]}" >&2
    exit 1
fi
