#!/usr/bin/env bash
# Checks that a DLL exports exactly the calls its header marks for export.
#   check-exports.sh LIBRARY.dll HEADER.h MACRO
set -euo pipefail
dll=$1 header=$2 macro=$3
# The names in the DLL's export table.
exported=$(x86_64-w64-mingw32-objdump -p "$dll" \
  | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | sort)
# The names the header declares with the export macro.
declared=$(sed -n "s/^$macro[^(]*[[:space:]*]\([A-Za-z_][A-Za-z0-9_]*\)(.*/\1/p" "$header" | sort)
if [ "$exported" != "$declared" ]; then
  echo "exports: $(basename "$dll") does not export exactly the calls of $(basename "$header")" >&2
  diff <(echo "$declared") <(echo "$exported") >&2 || true
  exit 1
fi
echo "exports: $(basename "$dll") exports the $(echo "$declared" | wc -l) calls of $(basename "$header")"
