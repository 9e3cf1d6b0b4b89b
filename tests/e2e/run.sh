#!/usr/bin/env bash
# shellcheck disable=SC2054  # commas inside rect= values are not separators
# End-to-end tests: the tool runs under Wine with a demo game install and
# e2e_driver checks its window, boxes and exit from beside it.
#
#   tests/e2e/run.sh TOOL.exe DRIVER.exe BUILD_DIR [case ...]
#
# One Wine prefix (BUILD_DIR/e2e-prefix) serves the whole run; every case starts
# from fresh registry keys and a fresh game folder. Without $DISPLAY the tests
# run on an Xvfb display of their own. A failed case leaves a screenshot at
# BUILD_DIR/e2e-CASE.png. Prints "PASS case" or "FAIL case: reason" per case,
# then "N passed, M failed"; exits non-zero when any case failed.
set -uo pipefail

if [ $# -lt 3 ]; then
  echo "usage: $0 TOOL.exe DRIVER.exe BUILD_DIR [case ...]" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tool=$(realpath "$1")
driver=$(realpath "$2")
build=$(mkdir -p "$3" && cd "$3" && pwd)
shift 3
for f in "$tool" "$driver"; do
  [ -f "$f" ] || { echo "$0: $f does not exist (build it first)" >&2; exit 2; }
done

export WINEPREFIX=$build/e2e-prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Wine decodes the command line from the Unix locale: UTF-8 keeps the Hungarian letters.
export LANG=C.UTF-8 LC_ALL=C.UTF-8

tool_name=$(basename "$tool")
winpath() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }
tool_w=$(winpath "$tool")

game_key='HKLM\Software\Dravela\VONU 11'
vendor_key='HKLM\Software\Marvek'
tool_key='HKLM\Software\Marvek\VONU11 XQ'
install_dir='C:\VONU11'
game_dir=$WINEPREFIX/drive_c/VONU11/Game
state=$(mktemp -d)

# ------------------------------------------------------------ display and Wine

xvfb_pid=
cleanup() {
  [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$state"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -z "${DISPLAY:-}" ]; then
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$state/display" 2>"$state/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$state/display" ] && break; sleep 0.1; done
  [ -s "$state/display" ] || { echo "$0: Xvfb did not start: $(cat "$state/xvfb.log")" >&2; exit 2; }
  DISPLAY=:$(head -n1 "$state/display")
  export DISPLAY
fi

# Sets the screen's dots per inch; the wineserver reads it when it starts, so it
# is restarted, and kept running (-p) so that volatile keys live through a case.
set_dpi() {
  wineserver -k 2>/dev/null
  wineserver -w
  "$root/scripts/wine-prefix" "$WINEPREFIX" --dpi "$1" || return 1
  wineserver -p
}

# ------------------------------------------------------------ case helpers

# Ends the current case (each runs in a subshell) with a reason.
fail() { printf '%s\n' "$*" >"$state/reason"; exit 1; }

# drive STEP... : runs the driver; its first failing step fails the case.
# Its output goes to a file, not a pipe: the tool inherits the driver's Unix
# descriptors under Wine and would hold a pipe open for as long as it runs.
drive() {
  if ! wine "$driver" "$@" >/dev/null 2>"$state/driver.err"; then
    local err
    err=$(tr -d '\r' <"$state/driver.err" | grep -E '^(step|usage)' | tail -n1)
    fail "${err:-the driver failed without a message}"
  fi
}

reg_quiet() { wine reg "$@" /reg:32 >/dev/null 2>&1; }

# reg_value KEY NAME: prints "TYPE DATA" of a value, nothing when it is missing.
reg_value() {
  wine reg query "$1" /v "$2" /reg:32 2>/dev/null | tr -d '\r' |
    sed -n "s/^    $2    \(REG_[A-Z_]*\)    \{0,1\}\(.*\)\$/\1 \2/p"
}

expect_value() {  # KEY NAME "TYPE DATA"
  local got
  got=$(reg_value "$1" "$2")
  [ "$got" = "$3" ] || fail "$1 \"$2\" is '${got:-missing}', expected '$3'"
}

expect_no_key() {
  ! reg_quiet query "$1" || fail "$1 exists, expected it untouched (absent)"
}

# A fresh demo install: the game's key points at a Game folder that holds the
# seven files as small placeholders with contents of their own; no tool key.
reset_world() {
  wine "$driver" kill name="$tool_name" >/dev/null 2>&1
  reg_quiet delete "$vendor_key" /f
  reg_quiet delete 'HKLM\Software\Dravela' /f
  rm -rf "$WINEPREFIX/drive_c/VONU11"
  mkdir -p "$game_dir"
  local f
  for f in data0.bh data1.bh data3.bh data0.big data1.big data3.big vonu.exe; do
    printf 'placeholder %s, VONU 11 v1.0\n' "$f" >"$game_dir/$f"
  done
  reg_quiet add "$game_key" /v 'Install Dir' /t REG_SZ /d "$install_dir" /f || fail "could not create the game's key"
}

set_flag() { reg_quiet add "$tool_key" /v Backup /t "${2:-REG_SZ}" /d "$1" /f || fail "could not set Backup"; }

# ------------------------------------------------------------ expected faces

start=(start "exe=$tool_w")

main_window=(main 'caption=VONU11 XQ' client=389x190 fixed=1 alpha=220 centred=1 enabled=1)

choice_face=(
  control id=100 class=msctls_statusbar32 rect=0,171,389,19 visible=1 parts=1
  control id=101 class=Button kind=ownerdraw text=Alkalmaz rect=264,24,108,26 visible=1 enabled=1
  control id=102 class=Button kind=radio 'text=Alap VONU11 (v1.0)' rect=16,16,145,17 visible=1 enabled=1 checked=1
  control id=103 class=Button kind=radio 'text=Patchelt VONU11 (v.1.01)' rect=16,40,177,17 visible=1 enabled=1 checked=0
  control id=104 class=TPanel text= rect=0,0,393,174 visible=0
)

first_run_face=(
  control id=104 class=TPanel text= rect=0,0,393,174 visible=1
  control id=105 parent=104 class=Button kind=ownerdraw text=OK rect=96,88,75,25 visible=1 enabled=1
  control id=106 parent=104 class=Button kind=ownerdraw text=Kilépés rect=217,88,75,25 visible=1 enabled=1
  control id=107 parent=104 class=Static 'text=Néhány file biztonsági mentésének elvégzése szükséges!' rect=0,32,385,17 visible=1
  control id=108 parent=104 class=Static 'text=Nyomj OK-t a kezdéshez!' rect=0,48,385,17 visible=1
)

# An error box raised at start-up, then the window on the version-choice face.
error_then_choice() {
  drive "${start[@]}" box 'caption=VONU11 XQ' "text=$1" icon=stop answer \
        window "${main_window[@]}" "${choice_face[@]}" no-box for=500 close exit code=0
}

# ------------------------------------------------------------ cases

case_first_start() {
  drive "${start[@]}" window "${main_window[@]}" "${first_run_face[@]}" close exit code=0
  expect_value "$tool_key" Backup "REG_SZ 0"
}

case_flag_one() {
  set_flag 1
  drive "${start[@]}" window "${main_window[@]}" "${choice_face[@]}" close exit code=0
  expect_value "$tool_key" Backup "REG_SZ 1"
}

case_flag_empty() {
  set_flag ''
  drive "${start[@]}" window "${main_window[@]}" "${choice_face[@]}" close exit code=0
  expect_value "$tool_key" Backup "REG_SZ "
}

# The radio buttons exclude each other, whether clicked or checked by the tool.
case_radio_choice() {
  set_flag 1
  drive "${start[@]}" window \
        click id=103 how=mouse control id=103 checked=1 control id=102 checked=0 \
        click id=102 control id=102 checked=1 control id=103 checked=0 \
        control id=101 enabled=1 no-box for=300 close exit code=0
}

case_exit_button() {
  drive "${start[@]}" window control id=104 visible=1 click id=106 parent=104 how=mouse no-box for=300 exit code=0
  expect_value "$tool_key" Backup "REG_SZ 0"
  drive "${start[@]}" window "${first_run_face[@]}" close exit code=0
}

case_close_box() {
  drive "${start[@]}" window control id=104 visible=1 close no-box for=300 exit code=0
  expect_value "$tool_key" Backup "REG_SZ 0"
  drive "${start[@]}" window "${first_run_face[@]}" close exit code=0
}

case_no_game_key() {
  reg_quiet delete 'HKLM\Software\Dravela' /f
  drive "${start[@]}" window "${first_run_face[@]}" no-box close exit code=0
  expect_value "$tool_key" Backup "REG_SZ 0"
  set_flag 1
  drive "${start[@]}" window "${choice_face[@]}" no-box close exit code=0
}

case_tool_key_refused() {
  # A volatile key cannot hold the tool's ordinary key (error 1021); the
  # wineserver keeps it for as long as it runs.
  reg_quiet delete "$vendor_key" /f
  drive reg-volatile 'key=Software\Marvek'
  error_then_choice "Failed to set data for 'Backup'"
  expect_no_key "$tool_key"
}

case_flag_not_text() {
  set_flag 1 REG_DWORD
  error_then_choice "Invalid data type for 'Backup'"
  expect_value "$tool_key" Backup "REG_DWORD 0x1"
}

case_install_dir_not_text() {
  reg_quiet add "$game_key" /v 'Install Dir' /t REG_DWORD /d 7 /f
  error_then_choice "Invalid data type for 'Install Dir'"
  expect_no_key "$tool_key"
}

case_dpi_144() {
  touch "$state/dpi-changed"
  set_dpi 144 || fail "could not switch the prefix to 144 dpi"
  reset_world
  drive screen dpi=144
  drive "${start[@]}" window "${main_window[@]}" "${first_run_face[@]}" close exit code=0
  set_flag 1
  drive "${start[@]}" window "${main_window[@]}" "${choice_face[@]}" close exit code=0
}

all_cases=(first_start flag_one flag_empty radio_choice exit_button close_box no_game_key
           tool_key_refused flag_not_text install_dir_not_text dpi_144)

# ------------------------------------------------------------ run

cases=("$@")
[ ${#cases[@]} -gt 0 ] || cases=("${all_cases[@]}")
for c in "${cases[@]}"; do
  declare -F "case_$c" >/dev/null || { echo "$0: no case '$c' (cases: ${all_cases[*]})" >&2; exit 2; }
done

set_dpi 96 || { echo "$0: could not make the Wine prefix $WINEPREFIX" >&2; exit 2; }

passed=0 failed=0
for c in "${cases[@]}"; do
  rm -f "$state/reason" "$build/e2e-$c.png"
  if ( reset_world && "case_$c" ); then
    echo "PASS $c"
    passed=$((passed + 1))
  else
    import -display "$DISPLAY" -window root "$build/e2e-$c.png" 2>/dev/null
    echo "FAIL $c: $(cat "$state/reason" 2>/dev/null || echo 'no reason given')"
    failed=$((failed + 1))
  fi
  wine "$driver" kill name="$tool_name" >/dev/null 2>&1
  if [ -f "$state/dpi-changed" ]; then
    rm -f "$state/dpi-changed"
    set_dpi 96 || { echo "$0: could not restore 96 dpi" >&2; exit 2; }
  fi
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
