#!/usr/bin/env bash
# shellcheck disable=SC2054  # commas inside rect= values are not separators
# End-to-end tests: the tool runs under Wine with a demo game install and
# e2e_driver checks its window, boxes and exit from beside it.
#
#   tests/e2e/run.sh TOOL.exe DRIVER.exe BUILD_DIR [case ...]
#
# e2e_holder.exe, which holds a game file open, and e2e_scanner.exe, which holds
# new copies briefly as a virus scanner does, are looked for beside the driver.
# One Wine prefix (BUILD_DIR/e2e-prefix) serves the whole run; every case starts
# from fresh registry keys and a fresh game folder. Without $DISPLAY the tests
# run on an Xvfb display of their own. A failed case leaves a screenshot at
# BUILD_DIR/e2e-CASE.png, and the driver's whole report at BUILD_DIR/e2e-CASE.log
# when a driver step failed. Prints "PASS case" or "FAIL case: reason" per case,
# or "SKIP case: reason" when this machine cannot run it (a skipped case is
# not a failure), then "N passed, M failed"; exits non-zero when any case failed.
set -uo pipefail

if [ $# -lt 3 ]; then
  echo "usage: $0 TOOL.exe DRIVER.exe BUILD_DIR [case ...]" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tool=$(realpath "$1")
driver=$(realpath "$2")
holder=$(dirname "$driver")/e2e_holder.exe
scanner=$(dirname "$driver")/e2e_scanner.exe
build=$(mkdir -p "$3" && cd "$3" && pwd)
shift 3
for f in "$tool" "$driver" "$holder" "$scanner"; do
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
# Wine places the windows itself: no window manager runs here, and Wine would
# wait up to 2 s for one whenever a window goes away.
set_dpi() {
  wineserver -k 2>/dev/null
  wineserver -w
  "$root/scripts/wine-prefix" "$WINEPREFIX" --dpi "$1" --managed N || return 1
  wineserver -p
}

# on_screen WIDTHxHEIGHT [DPI]: the case runs on a screen of that size (an Xvfb
# of its own) and at DPI (96 unless given) dots per inch. The wineserver is
# restarted on it and ended with it (or with the next call's screen); the next case is back on the run's screen
# at 96 dpi. A failed case's screenshot is taken of this screen.
on_screen() {
  local found=$state/case-display
  [ -z "${case_xvfb_pid:-}" ] || leave_screen
  rm -f "$found"
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$found" 2>"$state/case-xvfb.log" &
  case_xvfb_pid=$!
  trap leave_screen EXIT
  for _ in $(seq 100); do [ -s "$found" ] && break; sleep 0.1; done
  [ -s "$found" ] || fail "Xvfb did not start a $1 screen: $(cat "$state/case-xvfb.log")"
  DISPLAY=:$(head -n1 "$found")
  export DISPLAY
  touch "$state/dpi-changed"
  set_dpi "${2:-96}" || fail "could not restart Wine on a $1 screen at ${2:-96} dpi"
}

leave_screen() {
  [ -f "$state/reason" ] && import -display "$DISPLAY" -window root "$build/e2e-$c.png" 2>/dev/null
  wine "$driver" kill name="$tool_name" >/dev/null 2>&1
  wineserver -k 2>/dev/null
  wineserver -w
  kill "$case_xvfb_pid" 2>/dev/null && wait "$case_xvfb_pid" 2>/dev/null
  case_xvfb_pid=
}

# A case that calls this runs under a dark colour scheme, as a user's dark or
# high-contrast scheme has it: black button faces with white button text. The
# wineserver reads the colours when it starts; the prefix's own colours are
# put back after the case.
dark_scheme() {
  wine reg export 'HKCU\Control Panel\Colors' "$(winpath "$state/colours.reg")" /y >/dev/null 2>&1 ||
    fail "could not save the prefix's colours"
  touch "$state/colours-changed"
  wine reg add 'HKCU\Control Panel\Colors' /v ButtonFace /t REG_SZ /d '0 0 0' /f >/dev/null 2>&1 &&
    wine reg add 'HKCU\Control Panel\Colors' /v ButtonText /t REG_SZ /d '255 255 255' /f >/dev/null 2>&1 &&
    set_dpi 96 || fail "could not set a dark colour scheme"
}

# A case that calls this runs with windows managed, as on a desktop whose
# window manager places them; the next case runs unmanaged again.
managed_windows() {
  touch "$state/managed"
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d Y /f >/dev/null 2>&1 ||
    fail "could not let a window manager place the windows"
}

# ------------------------------------------------------------ case helpers

# Ends the current case (each runs in a subshell) with a reason.
fail() { printf '%s\n' "$*" >"$state/reason"; exit 1; }
# Ends it as not runnable here.
skip() { printf '%s\n' "$*" >"$state/skip"; exit 0; }

# drive STEP... : runs the driver; its first failing step fails the case.
# Its output goes to a file, not a pipe: the tool inherits the driver's Unix
# descriptors under Wine and would hold a pipe open for as long as it runs.
drive() {
  if ! wine "$driver" "$@" >/dev/null 2>"$state/driver.err"; then
    local err
    tr -d '\r' <"$state/driver.err" >"$state/case.log"
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

base_content() { printf 'placeholder %s, VONU 11 v1.0\n' "$1"; }

# Ends the tool, the file holder and the scanner, wherever a case left them,
# and the stand-in for the game (the holder started from the Game folder as
# vonu.exe).
end_processes() {
  wine "$driver" kill name="$tool_name" kill name=e2e_holder.exe kill name=e2e_scanner.exe kill name=vonu.exe \
    >/dev/null 2>&1
}

# A fresh demo install: the game's key points at a Game folder that holds the
# seven files as small placeholders with contents of their own; no tool key.
reset_world() {
  end_processes
  reg_quiet delete "$vendor_key" /f
  reg_quiet delete 'HKLM\Software\Dravela' /f
  rm -rf "$WINEPREFIX/drive_c/VONU11" "$WINEPREFIX/drive_c/Program Files/VONU11" \
    "$WINEPREFIX"/drive_c/users/*/AppData/Local/VirtualStore
  mkdir -p "$game_dir"
  local f
  for f in data0.bh data1.bh data3.bh data0.big data1.big data3.big vonu.exe; do
    base_content "$f" >"$game_dir/$f"
  done
  reg_quiet add "$game_key" /v 'Install Dir' /t REG_SZ /d "$install_dir" /f || fail "could not create the game's key"
}

set_flag() { reg_quiet add "$tool_key" /v Backup /t "${2:-REG_SZ}" /d "$1" /f || fail "could not set Backup"; }

# ------------------------------------------------------------ game folder states

# The seven files in the order the tool handles them, and their stored names.
game_files=(data0.bh data1.bh data3.bh data0.big data1.big data3.big vonu.exe)
stored_name() { printf '%s.mrv%s%s' "${1%.*}" "$2" "${1##*.}"; }  # data0.big def -> data0.mrvdefbig

# What each version of each file holds: the base files as reset_world writes
# them, the patched ones with contents of their own.
ref=$state/ref
mkdir -p "$ref/base" "$ref/patched"
for f in "${game_files[@]}"; do
  base_content "$f" >"$ref/base/$f"
  printf 'patched %s, VONU 11 v1.01\n' "$f" >"$ref/patched/$f"
done

# make_active VERSION [upper]: the state after a backup and the 1.01 patch, with
# VERSION (base or patched) active: its files under their own names and the
# other version's under its stored names. "upper" names every file in capitals
# on the Linux side.
make_active() {
  local f active stored other family
  if [ "$1" = base ]; then other=patched family=upd; else other=base family=def; fi
  for f in "${game_files[@]}"; do
    active=$f stored=$(stored_name "$f" "$family")
    if [ "${2:-}" = upper ]; then active=${active^^} stored=${stored^^}; rm -f "$game_dir/$f"; fi
    if ! cp "$ref/$other/$f" "$game_dir/$stored" || ! cp "$ref/$1/$f" "$game_dir/$active"; then
      fail "could not make the game folder"
    fi
  done
}

# install_patch [DIR]: the 1.01 patch over the seven active files (the Game
# folder's, or DIR's), as its installer writes them.
install_patch() {
  local dir=${1:-$game_dir} f
  for f in "${game_files[@]}"; do
    rm -f "$dir/$f"
    cp "$ref/patched/$f" "$dir/$f" || fail "could not install the patched files"
  done
}

# The names in a folder, one a line.
names_in() { find "$1" -mindepth 1 -maxdepth 1 -printf '%f\n'; }
one_line() { local text; text=$(cat); printf '%s' "${text//$'\n'/ }"; }

# The expected contents of the Game folder, as NAME=REFERENCE words (the
# reference relative to $ref).
untouched() { local f; for f in "${game_files[@]}"; do printf '%s\n' "$f=base/$f"; done; }
backed_up() { local f; for f in "${game_files[@]}"; do printf '%s\n' "$f=base/$f" "$(stored_name "$f" def)=base/$f"; done; }
patched_active() { local f; for f in "${game_files[@]}"; do printf '%s\n' "$f=patched/$f" "$(stored_name "$f" def)=base/$f"; done; }
base_active() { local f; for f in "${game_files[@]}"; do printf '%s\n' "$f=base/$f" "$(stored_name "$f" upd)=patched/$f"; done; }

# expect_folder STATE [DIR]: the folder holds exactly the names that STATE
# lists, matched without regard to case as Windows matches them, each with
# its reference's contents.
expect_folder() {
  local dir=${2:-$game_dir} want got entry name actual
  want=$("$1" | sed 's/=.*//' | sort)
  got=$(names_in "$dir" | tr '[:upper:]' '[:lower:]' | sort)
  [ "$got" = "$want" ] ||
    fail "the Game folder holds [$(one_line <<<"$got")], expected [$(one_line <<<"$want")] ($1)"
  while IFS= read -r entry; do
    name=${entry%%=*}
    actual=$(names_in "$dir" | grep -ixF -- "$name")
    cmp -s "$dir/$actual" "$ref/${entry#*=}" || fail "$actual does not hold ${entry#*=} ($1)"
  done < <("$1")
}

# expect_whole_copies [all]: no temporary copy is left, and every stored base
# copy is whole (same bytes as its source); with "all", all seven are there.
expect_whole_copies() {
  local f stored leftovers
  leftovers=$(names_in "$game_dir" | grep -i mrvtmp)
  [ -z "$leftovers" ] || fail "temporary copies left in the Game folder: $(one_line <<<"$leftovers")"
  for f in "${game_files[@]}"; do
    stored=$game_dir/$(stored_name "$f" def)
    if [ -e "$stored" ]; then
      cmp -s "$game_dir/$f" "$stored" || fail "$(basename "$stored") is not a whole copy of $f ($(stat -c %s "$stored") of $(stat -c %s "$game_dir/$f") bytes)"
    elif [ "${1:-}" = all ]; then
      fail "$(basename "$stored") is missing"
    fi
  done
}

expect_no_copies() {
  local found
  found=$(names_in "$1" | grep -iE 'mrv(def|tmp)')
  [ -z "$found" ] || fail "the failed backup left $(one_line <<<"$found")"
}

# ------------------------------------------------------------ expected faces

start=(start "exe=$tool_w")

main_window=(main 'caption=VONU11 XQ' client=389x190 fixed=1 alpha=220 centred=1 enabled=1)

# choice_face_with [PARAM...]: sets choice_face, with PARAMs added to the
# radio buttons' checks.
choice_face_with() {
  choice_face=(
    control id=100 class=msctls_statusbar32 rect=0,171,389,19 visible=1 parts=1
    control id=101 class=Button kind=ownerdraw text=Alkalmaz rect=264,24,108,26 visible=1 enabled=1
    control id=102 class=Button kind=radio 'text=Alap VONU11 (v1.0)' rect=16,16,145,17 visible=1 enabled=1 checked=1 "$@"
    control id=103 class=Button kind=radio 'text=Patchelt VONU11 (v.1.01)' rect=16,40,177,17 visible=1 enabled=1 checked=0 "$@"
    control id=104 class=TPanel text= rect=0,0,393,174 visible=0
  )
}
choice_face_with

first_run_face=(
  control id=104 class=TPanel text= rect=0,0,393,174 visible=1
  control id=105 parent=104 class=Button kind=ownerdraw text=OK rect=96,88,75,25 visible=1 enabled=1
  control id=106 parent=104 class=Button kind=ownerdraw text=Kilépés rect=217,88,75,25 visible=1 enabled=1
  control id=107 parent=104 class=Static 'text=Néhány file biztonsági mentésének elvégzése szükséges!' rect=0,32,385,17 visible=1
  control id=108 parent=104 class=Static 'text=Nyomj OK-t a kezdéshez!' rect=0,48,385,17 visible=1
)

# An error box raised at start-up, then the window on the version-choice face.
error_then_choice() {
  drive "${start[@]}" box 'caption=VONU11 XQ' "${2:-text}=$1" icon=stop answer \
        window "${main_window[@]}" "${choice_face[@]}" no-box for=500 close exit code=0
}

# ------------------------------------------------------------ cases

# The one case with managed windows, as a desktop user's window manager has them.
case_first_start() {
  managed_windows
  drive "${start[@]}" window "${main_window[@]}" "${first_run_face[@]}" close exit code=0
  expect_value "$tool_key" Backup "REG_SZ 0"
}

# The flag "1" over a folder that holds the backup's copies.
case_flag_one() {
  set_flag 1
  make_active patched
  drive "${start[@]}" window "${main_window[@]}" "${choice_face[@]}" close exit code=0
  expect_value "$tool_key" Backup "REG_SZ 1"
}

case_flag_empty() {
  set_flag ''
  make_active patched
  drive "${start[@]}" window "${main_window[@]}" "${choice_face[@]}" close exit code=0
  expect_value "$tool_key" Backup "REG_SZ "
}

# The radio buttons exclude each other, whether clicked or checked by the tool.
case_radio_choice() {
  set_flag 1
  make_active patched
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
  error_then_choice "Invalid data type for 'Backup'" has
  error_then_choice "A HKEY_LOCAL_MACHINE\\Software\\Marvek\\VONU11 XQ kulcs „Backup” értéke nem szöveg" has
  expect_value "$tool_key" Backup "REG_DWORD 0x1"
}

case_install_dir_not_text() {
  reg_quiet add "$game_key" /v 'Install Dir' /t REG_DWORD /d 7 /f
  error_then_choice "Invalid data type for 'Install Dir'" has
  error_then_choice "A HKEY_LOCAL_MACHINE\\Software\\Dravela\\VONU 11 kulcs „Install Dir” értéke nem szöveg" has
  expect_no_key "$tool_key"
}

# The layout scaled to a screen of more dots per inch: everything where the
# scaling puts it, except that the radio buttons may have grown to the right
# to draw their bold captions whole.
scaled_faces() {
  touch "$state/dpi-changed"
  set_dpi "$1" || fail "could not switch the prefix to $1 dpi"
  reset_world
  drive screen "dpi=$1"
  drive "${start[@]}" window "${main_window[@]}" "${first_run_face[@]}" close exit code=0
  set_flag 1
  make_active patched
  choice_face_with whole=bold
  drive "${start[@]}" window "${main_window[@]}" "${choice_face[@]}" close exit code=0
}
case_dpi_120() { scaled_faces 120; }
case_dpi_144() { scaled_faces 144; }

# ------------------------------------------------------------ version switch

switched_caption='caption=Művelet sikeres'
base_applied='text=Alap VONU11 (v1.0) file-ok alkalmazva.'
patched_applied='text=Patchelt VONU11 (v1.01) file-ok alkalmazva.'

# From a backed-up and patched install to the base version and back; a third
# run asks for the version already active and changes nothing.
case_switch_both_ways() {
  set_flag 1
  make_active patched
  drive "${start[@]}" window click id=103 how=mouse click id=102 how=mouse control id=102 checked=1 \
        click id=101 how=mouse box "$switched_caption" "$base_applied" icon=info control id=101 enabled=0 \
        answer exit code=0
  expect_folder base_active
  drive "${start[@]}" window click id=103 how=mouse control id=103 checked=1 \
        click id=101 how=mouse box "$switched_caption" "$patched_applied" icon=info answer exit code=0
  expect_folder patched_active
  drive "${start[@]}" window click id=103 click id=101 box "$switched_caption" "$patched_applied" answer exit code=0
  expect_folder patched_active
  expect_value "$tool_key" Backup "REG_SZ 1"
}

# hold_data1_big [MS WITNESS]: e2e_holder opens data1.big without delete
# sharing, as a running game does, for good or for MS milliseconds (then it
# writes "witness" into $state/held if WITNESS exists by then); returns once
# the file is held.
hold_data1_big() {
  rm -f "$state/held"
  wine "$holder" 'C:\VONU11\Game\data1.big' "$(winpath "$state/held")" "$@" >/dev/null 2>&1 &
  for _ in $(seq 500); do [ -e "$state/held" ] && break; sleep 0.01; done
  [ -e "$state/held" ] || fail "e2e_holder did not open data1.big"
}

# Another program holds data1.big open without delete sharing: the switch
# undoes what it renamed and says so, the tool stays open, and once the file
# is let go a second click succeeds.
case_switch_file_held() {
  set_flag 1
  make_active patched
  hold_data1_big
  drive "${start[@]}" window click id=101 \
        box 'caption=VONU11 XQ' icon=stop 'has=A data1.big átnevezése data1.mrvupdbig névre nem sikerült' \
        box 'has=Semmi sem változott' answer \
        main enabled=1 control id=101 enabled=1 control id=102 checked=1
  expect_folder patched_active
  drive attach name="$tool_name" window kill name=e2e_holder.exe \
        click id=101 box "$switched_caption" "$base_applied" icon=info answer exit code=0
  wait
  expect_folder base_active
}

# The flag says "1" but not one stored copy is left (the game reinstalled):
# the first-run face again; OK asks whether the files hold the base version,
# and after "yes" the backup runs as on a first run.
case_backups_gone() {
  set_flag 1
  drive "${start[@]}" window "${main_window[@]}" "${first_run_face[@]}" click id=105 parent=104 \
        box icon=question "$resume_question" answer button=yes \
        box "$backed_up_caption" "$backed_up_text" icon=info answer exit code=0
  expect_folder backed_up
  expect_value "$tool_key" Backup "REG_SZ 1"
}

# Files named in capitals are the same files to Windows: the marker
# DATA0.MRVUPDBIG says the base version is active, and the switch to the
# patched one renames the capitalised files.
case_switch_capital_names() {
  set_flag 1
  make_active base upper
  drive "${start[@]}" window click id=101 box "$switched_caption" "$base_applied" answer exit code=0
  [ -e "$game_dir/DATA0.BIG" ] || fail "a switch to the active version renamed files"
  expect_folder base_active
  drive "${start[@]}" window click id=103 click id=101 box "$switched_caption" "$patched_applied" answer exit code=0
  expect_folder patched_active
}

# ------------------------------------------------------------ first-run backup

backed_up_caption='caption=Művelet kész'
resume_question='has=Ezek a file-ok most az alap (v1.0) változatot tartalmazzák?'
backed_up_text='text=A biztonsági mentések elkészültek! Most telepítheted a Vonu11 1.01 Patchet! Utána újra futtatva ezt a programot, kiválaszthatod, hogy alap vagy patchelt Vonuval szeretnél játszani!'
gauge_full=(gauge-full host=104 rect=56,88,273,17)

# The whole first run; while the closing box is up the gauge shows 100 %.
case_backup_first_run() {
  drive "${start[@]}" window "${main_window[@]}" "${first_run_face[@]}" click id=105 parent=104 how=mouse \
        box "$backed_up_caption" "$backed_up_text" icon=info \
        control id=105 parent=104 visible=0 control id=106 parent=104 visible=0 "${gauge_full[@]}" \
        answer exit code=0
  expect_folder backed_up
  expect_value "$tool_key" Backup "REG_SZ 1"
  drive "${start[@]}" window "${main_window[@]}" "${choice_face[@]}" close exit code=0
}

# The game on a drive of its own, a small tmpfs mapped as M:. Unmounted when
# the case ends.
mount_game_drive() {
  local size=$1
  game_mnt=$state/m
  mkdir -p "$game_mnt"
  if ! mount -t tmpfs -o "size=$size" tmpfs "$game_mnt" 2>"$state/mount.err"; then
    skip "cannot mount a tmpfs ($(head -n1 "$state/mount.err"))"
  fi
  trap unmount_game_drive EXIT
  ln -sfn "$game_mnt" "$WINEPREFIX/dosdevices/m:"
  mkdir -p "$game_mnt/VONU11/Game"
  reg_quiet add "$game_key" /v 'Install Dir' /t REG_SZ /d 'M:\VONU11' /f || fail "could not point the game's key at M:"
}

unmount_game_drive() {
  wine "$driver" kill name="$tool_name" >/dev/null 2>&1
  rm -f "$WINEPREFIX/dosdevices/m:"
  umount "$game_mnt" 2>/dev/null || umount -l "$game_mnt"
}

# free_pages DIR: how many 4 KiB blocks the file system of DIR has left.
free_pages() { stat -f -c '%a' "$1"; }

# A drive too small for the copies: the free-space check refuses before
# copying. Then a drive on which the check passes but the copies, each taking
# a whole block, run out of room: the copies that failed leave nothing behind.
# Then, with room made, OK once more completes the backup.
case_backup_disk_full() {
  mount_game_drive 512k
  local dir=$game_mnt/VONU11/Game f
  for f in "${game_files[@]}"; do base_content "$f" >"$dir/$f"; done
  head -c 200000 /dev/urandom >"$dir/data0.big"
  head -c 100000 /dev/urandom >"$dir/data1.big"
  drive "${start[@]}" window click id=105 parent=104 \
        box 'caption=VONU11 XQ' icon=stop 'has=nincs elég szabad hely' \
        box 'has=Még ne telepítsd a Vonu11 1.01 Patchet' answer \
        control id=105 parent=104 visible=1 enabled=1 control id=106 parent=104 visible=1 close exit code=0
  expect_no_copies "$dir"
  expect_value "$tool_key" Backup "REG_SZ 0"

  # Small sources (a few hundred bytes in all) and three free blocks: the
  # three .bh copies fit, the rest do not.
  for f in "${game_files[@]}"; do base_content "$f" >"$dir/$f"; done
  local filler=$game_mnt/filler
  fallocate -l $(( ($(free_pages "$dir") - 3) * 4096 )) "$filler" || fail "could not fill the drive"
  [ "$(free_pages "$dir")" -eq 3 ] || fail "the drive has $(free_pages "$dir") free blocks, expected 3"
  drive "${start[@]}" window click id=105 parent=104 \
        box 'caption=VONU11 XQ' icon=stop 'has=A biztonsági mentés nem készült el teljesen!' \
        box 'has=data0.big: ' box 'has=vonu.exe: ' box 'has=Még ne telepítsd a Vonu11 1.01 Patchet' answer \
        control id=105 parent=104 visible=1 enabled=1 control id=106 parent=104 visible=1 enabled=1
  [ ! -e "$dir/data0.mrvdefbig" ] || fail "data0.mrvdefbig was made on a full drive"
  expect_whole_copies
  expect_value "$tool_key" Backup "REG_SZ 0"
  rm -f "$filler"
  drive attach name="$tool_name" window click id=105 parent=104 box icon=question "$resume_question" answer button=yes \
        box "$backed_up_caption" "$backed_up_text" answer exit code=0
  expect_folder backed_up "$dir"
  expect_value "$tool_key" Backup "REG_SZ 1"
}

# The tool ends (killed) while it copies a large file: no stored copy is
# half-made, the flag stays "0". The next run, once the player said the files
# hold the base version, stores the rest and keeps the half-made temporary
# copy, which it cannot tell from an earlier version, naming it; once the
# player has removed it, the backup completes.
case_backup_killed() {
  local big=$game_dir/data0.big
  # Sparse, so that it costs no disk until copied; marked at both ends.
  if ! truncate -s 500M "$big" || ! printf 'start of data0.big' | dd of="$big" conv=notrunc status=none ||
     ! printf 'end of data0.big' | dd of="$big" bs=1 seek=$((500 * 1024 * 1024 - 16)) conv=notrunc status=none; then
    fail "could not make a large data0.big"
  fi
  drive "${start[@]}" window click id=105 parent=104 \
        wait-file 'path=C:\VONU11\Game\data0.mrvtmpbig' timeout=30000 kill name="$tool_name"
  local tmp=$game_dir/data0.mrvtmpbig
  if [ ! -e "$tmp" ]; then
    fail "the copy of data0.big was not under way when the tool was killed (make data0.big larger)"
  fi
  [ ! -e "$game_dir/data0.mrvdefbig" ] || fail "data0.mrvdefbig exists although its copy was cut short"
  expect_value "$tool_key" Backup "REG_SZ 0"
  drive "${start[@]}" window "${first_run_face[@]}" click id=105 parent=104 \
        box icon=question "$resume_question" answer button=yes \
        box 'caption=VONU11 XQ' icon=stop timeout=60000 'has=data0.big: a data0.mrvtmpbig egy félbeszakadt mentés másolata, de a mérete vagy a dátuma eltér a file-étól' \
        answer close exit code=0
  [ -e "$tmp" ] || fail "the half-made temporary copy is gone"
  rm -f "$tmp"
  drive "${start[@]}" window "${first_run_face[@]}" click id=105 parent=104 \
        box icon=question "$resume_question" answer button=yes \
        box "$backed_up_caption" "$backed_up_text" timeout=60000 answer exit code=0
  expect_whole_copies all
  expect_value "$tool_key" Backup "REG_SZ 1"
}

all_cases=(first_start flag_one flag_empty radio_choice exit_button close_box no_game_key
           tool_key_refused flag_not_text install_dir_not_text dpi_120 dpi_144
           switch_both_ways switch_file_held backups_gone switch_capital_names
           backup_first_run backup_disk_full backup_killed)

# Further cases live in cases/*.sh, one file a topic; each adds its names to all_cases.
for cases_file in "$here"/cases/*.sh; do
  [ -e "$cases_file" ] || continue
  # shellcheck source=/dev/null
  . "$cases_file"
done

# ------------------------------------------------------------ run

cases=("$@")
[ ${#cases[@]} -gt 0 ] || cases=("${all_cases[@]}")
for c in "${cases[@]}"; do
  declare -F "case_$c" >/dev/null || { echo "$0: no case '$c' (cases: ${all_cases[*]})" >&2; exit 2; }
done

set_dpi 96 || { echo "$0: could not make the Wine prefix $WINEPREFIX" >&2; exit 2; }

passed=0 failed=0 skipped=0
for c in "${cases[@]}"; do
  rm -f "$state/reason" "$state/skip" "$state/case.log" "$build/e2e-$c.png" "$build/e2e-$c.log"
  if ( reset_world && "case_$c" ); then
    if [ -f "$state/skip" ]; then
      echo "SKIP $c: $(cat "$state/skip")"
      skipped=$((skipped + 1))
    else
      echo "PASS $c"
      passed=$((passed + 1))
    fi
  else
    [ -f "$build/e2e-$c.png" ] || import -display "$DISPLAY" -window root "$build/e2e-$c.png" 2>/dev/null
    [ -f "$state/case.log" ] && cp "$state/case.log" "$build/e2e-$c.log"
    echo "FAIL $c: $(cat "$state/reason" 2>/dev/null || echo 'no reason given')"
    failed=$((failed + 1))
  fi
  end_processes
  if [ -f "$state/managed" ]; then
    rm -f "$state/managed"
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 ||
      { echo "$0: could not let Wine place the windows again" >&2; exit 2; }
  fi
  if [ -f "$state/colours-changed" ]; then
    rm -f "$state/colours-changed"
    { wine reg import "$(winpath "$state/colours.reg")" >/dev/null 2>&1 && set_dpi 96; } ||
      { echo "$0: could not put the prefix's colours back" >&2; exit 2; }
  fi
  if [ -f "$state/dpi-changed" ]; then
    rm -f "$state/dpi-changed"
    set_dpi 96 || { echo "$0: could not restore 96 dpi" >&2; exit 2; }
  fi
done

echo "$passed passed, $failed failed$([ "$skipped" -eq 0 ] || echo ", $skipped skipped")"
[ "$failed" -eq 0 ]
