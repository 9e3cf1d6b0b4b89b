#!/usr/bin/env bash
# Compares two builds of the exe. The same bytes: prints their SHA-256 and
# exits 0. Otherwise exits 1 after naming where they first differ: the byte
# offset and the header or section that holds it, then the first differences
# between their headers as objdump -p prints them.
#   tests/release/same_exe.sh A.exe B.exe
set -uo pipefail
[ $# -eq 2 ] || { echo "usage: $0 A.exe B.exe" >&2; exit 2; }
a=$1 b=$2
if cmp -s "$a" "$b"; then
  echo "same exe from both builds, SHA-256 $(sha256sum "$a" | cut -d' ' -f1)"
  exit 0
fi
objdump=i686-w64-mingw32-objdump
report=$(cmp "$a" "$b" 2>&1)  # "A B differ: byte N, line L" or "cmp: EOF on A after byte N"
n=$(grep -oE 'byte [0-9]+' <<<"$report" | grep -oE '[0-9]+')
off=$((n - 1))
[[ "$report" == *EOF* ]] && off=$n
# The COFF header starts at the offset stored at 0x3c; its time stamp is at +8.
pe=$(od -An -tu4 -j60 -N4 "$a" | tr -d ' ')
where=
while read -r idx name size _ _ start _; do
  [[ "$idx" =~ ^[0-9]+$ ]] && [ $((16#$start)) -gt 0 ] || continue  # .bss has no bytes in the file
  if [ "$off" -ge $((16#$start)) ] && [ "$off" -lt $((16#$start + 16#$size)) ]; then
    where=$(printf 'section %s (+0x%x)' "$name" $((off - 16#$start))); break
  fi
done < <($objdump -h "$a")
if [ -z "$where" ]; then
  if [ "$off" -lt "$pe" ]; then where="the MS-DOS header"
  elif [ "$off" -lt $((pe + 24)) ]; then where="the COFF header (+$((off - pe)); its time stamp is at +8)"
  else where="the optional header or the section table"; fi
fi
printf 'the exe differs between the two builds (%s, %s)\n' "$a" "$b"
printf '  sizes %s and %s bytes; first difference at byte offset 0x%x, in %s\n' \
  "$(stat -c %s "$a")" "$(stat -c %s "$b")" "$off" "$where"
diff <($objdump -p "$a" | grep -v 'file format') <($objdump -p "$b" | grep -v 'file format') | head -n 20 | sed 's/^/  /'
exit 1
