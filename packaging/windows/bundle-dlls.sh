#!/usr/bin/env bash
# Copies into FOLDER every DLL that the programs and libraries there need,
# found in the SEARCH folders, and the DLLs those need in turn. A DLL found
# in none of them is the system's own (KERNEL32.dll, msvcrt.dll, ...).
#   bundle-dlls.sh FOLDER SEARCH...
set -euo pipefail
folder=$1
shift
objdump=x86_64-w64-mingw32-objdump

imports() { "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'; }

# DLL names are case-insensitive: KERNEL32.dll and kernel32.dll are one.
find_dll() {
  local name=${1,,} dir f
  for dir in "${search[@]}"; do
    for f in "$dir"/*.dll "$dir"/*.DLL; do
      [ -f "$f" ] || continue
      f_name=$(basename "$f")
      if [ "${f_name,,}" = "$name" ]; then
        echo "$f"
        return 0
      fi
    done
  done
  return 1
}

search=("$@")
todo=("$folder"/*.exe "$folder"/*.dll)
while [ ${#todo[@]} -gt 0 ]; do
  file=${todo[0]}
  todo=("${todo[@]:1}")
  [ -f "$file" ] || continue
  for dll in $(imports "$file"); do
    [ -e "$folder/$dll" ] && continue
    if found=$(find_dll "$dll"); then
      cp "$found" "$folder/$dll"
      echo "bundle: $dll (from $(dirname "$found"))"
      todo+=("$folder/$dll")
    fi
  done
done
