#!/usr/bin/env bash
# The exe runs elevated, often from a Downloads folder: it may import only DLLs
# that Windows itself provides (and loads from its system folder).
set -euo pipefail
exe=$1
allowed='^(kernel32|user32|gdi32|advapi32|msvcrt)\.dll$'
names=$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$names" ] || { echo "no import table read from $exe"; exit 1; }
bad=$(grep -Ev "$allowed" <<<"$names" || true)
if [ -n "$bad" ]; then echo "unexpected imports: $bad"; exit 1; fi
echo "imports: $(tr '\n' ' ' <<<"$names")"
