# shellcheck shell=bash
# shellcheck disable=SC2154  # the names come from run.sh, which sources this file
# Cases on what a player's PC does beside the tool: a virus scanner's brief
# look at every new copy, a file held for a moment. Sourced by run.sh.

# start_scanner HOLD_MS: e2e_scanner watches the Game folder, holding every new
# *.mrv* file HOLD_MS; the names it held go to $state/scanned.
start_scanner() {
  local ready=$state/scanner-ready
  rm -f "$ready" "$state/scanned"
  wine "$scanner" 'C:\VONU11\Game' "$(winpath "$ready")" "$1" "$(winpath "$state/scanned")" >/dev/null 2>&1 &
  for _ in $(seq 200); do [ -e "$ready" ] && break; sleep 0.05; done
  [ -e "$ready" ] || fail "e2e_scanner did not start"
}

# expect_scanned PATTERN WHAT: the scanner held a name matching PATTERN, so the
# tool met its hold (otherwise the case proved nothing).
expect_scanned() {
  grep -qiE "$1" "$state/scanned" 2>/dev/null ||
    fail "the scanner never held $2 (it held: $(one_line <"$state/scanned" 2>/dev/null))"
}

# folder_sums DIR: each file of DIR with its checksum, to tell that nothing moved.
folder_sums() { (cd "$1" && md5sum -- * | sort -k2); }

# The game runs from the Game folder (the holder, copied there as vonu.exe,
# holding a file of its own): "Alkalmaz" and OK both refuse before anything
# moves, and say what to do.
case_game_running() {
  set_flag 1
  make_active patched
  cp "$holder" "$game_dir/vonu.exe" || fail "could not put the stand-in game in place"
  printf 'x' >"$state/game-file"
  rm -f "$state/game-ready"
  wine "$install_dir\\Game\\vonu.exe" "$(winpath "$state/game-file")" "$(winpath "$state/game-ready")" \
    >/dev/null 2>&1 &
  for _ in $(seq 500); do [ -e "$state/game-ready" ] && break; sleep 0.01; done
  [ -e "$state/game-ready" ] || fail "the stand-in game did not start"
  local before
  before=$(folder_sums "$game_dir")
  drive "${start[@]}" window click id=101 box 'caption=VONU11 XQ' icon=stop \
        'has=A játék fut: a vonu.exe a Game mappából indult.' box 'has=nyomd meg újra az „Alkalmaz” gombot' \
        answer close exit code=0
  # The backup, before any copy is stored: the first-run face.
  set_flag 0
  rm -f "$game_dir"/*.mrvdef* && before=$(folder_sums "$game_dir")
  drive "${start[@]}" window "${first_run_face[@]}" click id=105 parent=104 box 'caption=VONU11 XQ' icon=stop \
        'has=A játék fut: a vonu.exe' box 'has=nyomd meg újra az „OK” gombot' answer close exit code=0
  [ "$(folder_sums "$game_dir")" = "$before" ] || fail "the Game folder changed while the game ran"
  expect_value "$tool_key" Backup "REG_SZ 0"
}

# The game under Program Files, and Windows' private copy of its Game folder
# (the VirtualStore) holding a file of the set: both operations refuse, name
# that folder, and touch neither folder.
case_private_copies() {
  local dir="$WINEPREFIX/drive_c/Program Files/VONU11/Game" appdata store before
  make_active patched
  mkdir -p "$dir" && cp "$game_dir"/* "$dir"/ || fail "could not install the game under Program Files"
  reg_quiet add "$game_key" /v 'Install Dir' /t REG_SZ /d 'C:\Program Files\VONU11' /f || fail "could not move the game"
  appdata=$(wine cmd /c echo '%LOCALAPPDATA%' 2>/dev/null | tr -d '\r')
  store="$(winepath -u "$appdata" 2>/dev/null)/VirtualStore/Program Files/VONU11/Game"
  mkdir -p "$store" && printf 'old' >"$store/data0.bh" || fail "could not make the private copy"
  before=$(folder_sums "$dir")
  set_flag 1
  drive "${start[@]}" window click id=101 box 'caption=VONU11 XQ' icon=stop \
        'has=\VirtualStore\Program Files\VONU11\Game' box 'has=File-ok: data0.bh.' answer close exit code=0
  # The backup, before any copy is stored: the first-run face.
  set_flag 0
  rm -f "$dir"/*.mrvdef* && before=$(folder_sums "$dir")
  drive "${start[@]}" window "${first_run_face[@]}" click id=105 parent=104 box 'caption=VONU11 XQ' icon=stop \
        'has=File-ok: data0.bh.' answer close exit code=0
  [ "$(folder_sums "$dir")" = "$before" ] || fail "the Game folder changed"
  [ "$(cat "$store/data0.bh")" = old ] || fail "the private copy changed"
}

# Every copy is held the moment it is closed, before the tool renames it to
# its stored name, and again once it has that name, for 3 s as a scanner
# reads a large fresh file: the backup waits each hold out and completes.
case_backup_beside_scanner() {
  start_scanner 3000
  drive "${start[@]}" window click id=105 parent=104 \
        box "$backed_up_caption" "$backed_up_text" icon=info timeout=120000 answer exit code=0
  end_processes
  expect_scanned 'mrvtmp' 'a temporary copy'
  expect_value "$tool_key" Backup "REG_SZ 1"
  expect_whole_copies all
  expect_folder backed_up
}

# The game holds data1.big for good, so the switch undoes its renames; the
# scanner holds each file it renamed away for longer than the switch waits
# for data1.big, so that the undo meets those holds. Every file is put back.
case_switch_undone_beside_scanner() {
  set_flag 1
  make_active patched
  hold_data1_big
  start_scanner 3000
  drive "${start[@]}" window click id=101 \
        box 'caption=VONU11 XQ' icon=stop 'has=A data1.big átnevezése data1.mrvupdbig névre nem sikerült' \
        box 'has=A program az addigi átnevezéseket visszavonta' answer close exit code=0
  end_processes
  expect_scanned 'data0\.mrvupdbh' 'a file the switch renamed away'
  expect_folder patched_active
}

# data1.big is held for 1.5 s from just before the click: the switch waits
# and completes.
case_switch_brief_hold() {
  set_flag 1
  make_active patched
  drive "${start[@]}" window
  hold_data1_big 1500 'C:\VONU11\Game\data0.mrvupdbh'
  drive attach name="$tool_name" window click id=101 box "$switched_caption" "$base_applied" icon=info answer exit code=0
  wait
  grep -q witness "$state/held" || fail "the switch began only after the hold had ended; nothing was waited out"
  expect_folder base_active
}

all_cases+=(game_running private_copies backup_beside_scanner switch_undone_beside_scanner switch_brief_hold)
