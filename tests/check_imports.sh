#!/usr/bin/env bash
# The exe runs elevated, often from a Downloads folder: it may import only DLLs
# that Windows itself provides and always loads from its system folder (all of
# them on the system's KnownDLLs list), and only those it needs to start: COM
# and oleacc, for the gauge's accessible object, are loaded by their full paths
# when a screen reader first asks. Its header must keep the usual hardening:
# ASLR with the relocations it needs, DEP, terminal-server aware.
set -euo pipefail
exe=$1
header=$(i686-w64-mingw32-objdump -p "$exe")
allowed='^(kernel32|user32|gdi32|advapi32|msvcrt)\.dll$'
names=$(sed -n 's/^\s*DLL Name: //p' <<<"$header" | tr 'A-Z' 'a-z')
[ -n "$names" ] || { echo "no import table read from $exe"; exit 1; }
bad=$(grep -Ev "$allowed" <<<"$names" || true)
if [ -n "$bad" ]; then echo "unexpected imports: $bad"; exit 1; fi
echo "imports: $(tr '\n' ' ' <<<"$names")"

hex_field() { sed -n "s/^$1\s\+\(0x\)\{0,1\}\([0-9a-fA-F]\+\)\$/\2/p" <<<"$header" | head -n1; }
dll_bits=$(hex_field DllCharacteristics)
file_bits=$(hex_field Characteristics)
[ -n "$dll_bits" ] && [ -n "$file_bits" ] || { echo "no PE header read from $exe"; exit 1; }
missing=
for bit in 0x0040:DYNAMIC_BASE 0x0100:NX_COMPAT 0x8000:TERMINAL_SERVER_AWARE; do
  (( 16#$dll_bits & ${bit%%:*} )) || missing+=" ${bit#*:}"
done
[ -z "$missing" ] || { echo "DllCharacteristics 0x$dll_bits lacks:$missing"; exit 1; }
# ASLR moves only an image that can be relocated.
(( (16#$file_bits & 0x1) == 0 )) || { echo "relocations stripped (Characteristics 0x$file_bits)"; exit 1; }
reloc_size=$(sed -n 's/^Entry 5 [0-9a-fA-F]\+ \([0-9a-fA-F]\+\) Base Relocation Directory.*/\1/p' <<<"$header")
(( 16#${reloc_size:-0} > 0 )) || { echo "no base relocations in $exe"; exit 1; }
# The oldest Windows the exe claims is the one the manifest and the imports
# need: Windows 7, 6.1.
for field in MajorOSystemVersion MinorOSystemVersion MajorSubsystemVersion MinorSubsystemVersion; do
  value=$(sed -n "s/^$field\s\+\([0-9]\+\)\$/\1/p" <<<"$header" | head -n1)
  case $field in Major*) want=6 ;; *) want=1 ;; esac
  [ "$value" = "$want" ] || { echo "$field is '${value:-missing}', expected $want (Windows 7)"; exit 1; }
done
echo "header: DllCharacteristics 0x$dll_bits, $((16#$reloc_size)) bytes of relocations, Windows 6.1"
