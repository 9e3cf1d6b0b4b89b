#!/usr/bin/env bash
# Checks the player's download as a player gets it: unpacks the zip into a
# fresh folder, checks that it holds exactly the files it should, in order,
# that SHA256SUMS.txt matches them, that the text files have Windows line
# endings and that the notices carry the sentence the IJG licence asks for,
# point at no file outside the zip (no path of a Linux or Windows system) and
# carry the licence texts they point at instead;
# then runs the packaged exe once under Wine, in a fresh prefix with the
# demo game, up to its window, and closes it (exit code 0).
#   tests/release/check.sh ZIP DRIVER.exe WORK_DIR
set -uo pipefail
[ $# -eq 3 ] || { echo "usage: $0 ZIP DRIVER.exe WORK_DIR" >&2; exit 2; }
root=$(cd "$(dirname "$0")/../.." && pwd)
zip=$(realpath "$1") driver=$(realpath "$2")
work=$(mkdir -p "$3" && cd "$3" && pwd)/release-check
rm -rf "$work" && mkdir -p "$work/unpacked"

fail() { echo "release check: $*" >&2; exit 1; }

expected="vonu11xq.exe OLVASSEL.txt LICENSE.txt THIRD-PARTY-NOTICES.txt SHA256SUMS.txt"
listed=$(python3 -c 'import sys, zipfile; print(" ".join(zipfile.ZipFile(sys.argv[1]).namelist()))' "$zip") ||
  fail "$zip is not a readable zip"
[ "$listed" = "$expected" ] || fail "the zip holds [$listed], expected [$expected]"
python3 -m zipfile -e "$zip" "$work/unpacked" || fail "could not unpack $zip"
cd "$work/unpacked" || exit 1

summed=$(tr -d '\r' <SHA256SUMS.txt | sed 's/^[0-9a-f]\{64\} [ *]//' | tr '\n' ' ')
[ "$summed" = "${expected% SHA256SUMS.txt} " ] || fail "SHA256SUMS.txt lists [$summed]"
tr -d '\r' <SHA256SUMS.txt | sha256sum --check --strict --quiet || fail "SHA256SUMS.txt does not match the files"
for f in OLVASSEL.txt LICENSE.txt THIRD-PARTY-NOTICES.txt SHA256SUMS.txt; do
  awk '!/\r$/ { exit 1 }' "$f" || fail "$f has a line without a Windows line ending"
done
for f in OLVASSEL.txt THIRD-PARTY-NOTICES.txt; do
  tr -d '\r' <"$f" | tr '\n' ' ' | grep -qi 'based in part on the work of the Independent JPEG Group' ||
    fail "$f does not say that the software is based in part on the work of the Independent JPEG Group"
done

notices=$(tr -d '\r' <THIRD-PARTY-NOTICES.txt)
outside=$(grep -noE "(^|[[:space:]\`'\"(<])(/[[:alnum:]._-]+){2,}|[A-Za-z]:\\\\[[:alnum:]]" <<<"$notices" | head -n3)
[ -z "$outside" ] || fail "THIRD-PARTY-NOTICES.txt points at files outside the zip: $(tr '\n' ' ' <<<"$outside")"
for heading in "GNU GENERAL PUBLIC LICENSE|Version 3, 29 June 2007" "GCC RUNTIME LIBRARY EXCEPTION|Version 3.1"; do
  grep -A2 -F "${heading%%|*}" <<<"$notices" | grep -qF "${heading#*|}" ||
    fail "THIRD-PARTY-NOTICES.txt does not carry the ${heading%%|*}, ${heading#*|}"
done
# Exactly the licence texts the parts need: none for what the exe does not hold.
for absent in "Version 2, June 1991" "Version 2.1, February 1999" "libbacktrace" "libsanitizer" "libffi" \
              "winpthreads" "mingw-w64-tools/"; do
  ! grep -qF "$absent" <<<"$notices" || fail "THIRD-PARTY-NOTICES.txt carries \"$absent\", which the exe does not hold"
done

export WINEPREFIX=$work/prefix WINEDEBUG=-all LC_ALL=C.UTF-8 LANG=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
xvfb_pid=
cleanup() {
  [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || fail "Xvfb did not start"
  export DISPLAY=:$(head -n1 "$work/display")
fi
"$root/scripts/wine-prefix" "$WINEPREFIX" --managed N || fail "could not make a Wine prefix"
"$root/scripts/demo-game" "$WINEPREFIX" || fail "could not put the demo game into the prefix"
exe='Z:'${PWD//\//\\}'\vonu11xq.exe'
wine "$driver" start "exe=$exe" window main 'caption=VONU11 XQ' control id=101 text=Alkalmaz visible=1 \
  close exit code=0 >/dev/null 2>"$work/driver.err" ||
  fail "the packaged exe did not run to its window and end with 0: $(tr -d '\r' <"$work/driver.err" | tail -n1)"
echo "release check: $(basename "$zip") holds $expected; the sums match; the exe ran under Wine and ended with 0"
