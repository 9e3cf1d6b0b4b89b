# shellcheck shell=bash
# shellcheck disable=SC2154  # the names come from run.sh, which sources this file
# Cases on running as administrator on any PC: links on the way, the game
# started another way, every profile's private copies, a folder that refuses
# changes, and paths past 260 characters. Sourced by run.sh.

# The game's folder reached through a Unix symbolic link, as Linux players
# keep games on another disk: both operations work as on any folder.
case_game_folder_through_symlink() {
  local real=$WINEPREFIX/drive_c/VONU11-elsewhere
  trap "rm -rf '$real'" EXIT
  rm -rf "$real"
  mv "$WINEPREFIX/drive_c/VONU11" "$real" && ln -s "$real" "$WINEPREFIX/drive_c/VONU11" || fail "could not move the game"
  drive "${start[@]}" window click id=105 parent=104 box "$backed_up_caption" "$backed_up_text" answer exit code=0
  make_active patched
  drive "${start[@]}" window click id=101 box "$switched_caption" "$base_applied" icon=info answer exit code=0
  expect_folder base_active
}

# The game started through a symbolic link to its folder is the game running
# from the Game folder all the same.
case_game_running_through_symlink() {
  local link=$WINEPREFIX/drive_c/VONU11-link
  trap "rm -f '$link'" EXIT
  set_flag 1
  make_active patched
  cp "$holder" "$game_dir/vonu.exe" || fail "could not put the stand-in game in place"
  ln -sfn "$game_dir" "$link" || fail "could not link the Game folder"
  printf 'x' >"$state/game-file"
  rm -f "$state/game-ready"
  wine 'C:\VONU11-link\vonu.exe' "$(winpath "$state/game-file")" "$(winpath "$state/game-ready")" >/dev/null 2>&1 &
  for _ in $(seq 500); do [ -e "$state/game-ready" ] && break; sleep 0.01; done
  [ -e "$state/game-ready" ] || fail "the stand-in game did not start"
  local before
  before=$(folder_sums "$game_dir")
  drive "${start[@]}" window click id=101 box 'caption=VONU11 XQ' icon=stop \
        'has=A játék fut: a vonu.exe a Game mappából indult.' answer close exit code=0
  [ "$(folder_sums "$game_dir")" = "$before" ] || fail "the Game folder changed while the game ran"
}

# Another account of the PC keeps a private copy of a game file: the tool,
# run as this account, looks in that account's VirtualStore too.
case_private_copies_other_profile() {
  local dir="$WINEPREFIX/drive_c/Program Files/VONU11/Game" profile='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\ProfileList\S-1-5-21-1-2-3-1001'
  local store="$WINEPREFIX/drive_c/users/other/AppData/Local/VirtualStore/Program Files/VONU11/Game" before
  trap "wine reg delete '$profile' /f /reg:64 >/dev/null 2>&1; rm -rf '$WINEPREFIX/drive_c/users/other'" EXIT
  make_active patched
  mkdir -p "$dir" && cp "$game_dir"/* "$dir"/ || fail "could not install the game under Program Files"
  reg_quiet add "$game_key" /v 'Install Dir' /t REG_SZ /d 'C:\Program Files\VONU11' /f || fail "could not move the game"
  wine reg add "$profile" /v ProfileImagePath /t REG_EXPAND_SZ /d '%SystemDrive%\users\other' /f /reg:64 >/dev/null 2>&1 ||
    fail "could not list another profile"
  mkdir -p "$store" && printf 'old' >"$store/data1.big" || fail "could not make the private copy"
  before=$(folder_sums "$dir")
  set_flag 1
  drive "${start[@]}" window click id=101 box 'caption=VONU11 XQ' icon=stop \
        'has=users\other\AppData\Local\VirtualStore\Program Files\VONU11\Game' box 'has=File-ok: data1.big.' \
        answer close exit code=0
  [ "$(folder_sums "$dir")" = "$before" ] || fail "the Game folder changed"
}

# A Game folder that refuses new files and renames (immutable on Linux):
# both operations name the folder and its permissions, not a program that
# holds a file.
case_game_folder_immutable() {
  trap 'chattr -i "$game_dir" 2>/dev/null' EXIT
  chattr +i "$game_dir" 2>/dev/null || skip "this file system cannot make a folder immutable"
  drive "${start[@]}" window click id=105 parent=104 box 'caption=VONU11 XQ' icon=stop \
        'has=A Game mappa jogosultságai nem engedik a módosítást: C:\VONU11\Game\' answer close exit code=0
  chattr -i "$game_dir"
  make_active patched
  chattr +i "$game_dir"
  set_flag 1
  drive "${start[@]}" window click id=101 box 'caption=VONU11 XQ' icon=stop \
        'has=A Game mappa jogosultságai nem engedik a módosítást: C:\VONU11\Game\' answer close exit code=0
  chattr -i "$game_dir"
  expect_folder patched_active
}

# An install folder of 242 characters: the names in its Game folder pass
# 260 characters, and the backup and the switch work as anywhere else.
case_install_dir_long() {
  local name dir
  name=$(printf 'VONU11 %0232d' 0)
  dir=$WINEPREFIX/drive_c/$name/Game
  trap "rm -rf '$WINEPREFIX/drive_c/$name'" EXIT
  mkdir -p "$dir" && cp "$game_dir"/* "$dir"/ || fail "could not make the long folder"
  reg_quiet add "$game_key" /v 'Install Dir' /t REG_SZ /d "C:\\$name" /f || fail "could not move the game"
  [ ${#name} -eq 239 ] || fail "the install folder is ${#name} + 3 characters long"
  drive "${start[@]}" window click id=105 parent=104 box "$backed_up_caption" "$backed_up_text" answer exit code=0
  expect_folder backed_up "$dir"
  install_patch "$dir"
  drive "${start[@]}" window click id=101 box "$switched_caption" "$base_applied" icon=info answer exit code=0
  expect_folder base_active "$dir"
}

all_cases+=(game_folder_through_symlink game_running_through_symlink private_copies_other_profile
            game_folder_immutable install_dir_long)

# An install folder of about 300 characters with the game running from its
# Game folder (the holder, as the base vonu.exe and then as a patched one of
# its own size): OK and "Alkalmaz" both refuse as running before anything
# moves, and with the game closed both work.
long_backed_up() { backed_up | sed 's#=base/vonu.exe$#=game/base.exe#'; }
long_base_active() { base_active | sed -e 's#=base/vonu.exe$#=game/base.exe#' -e 's#=patched/vonu.exe$#=game/patched.exe#'; }
case_install_dir_300_game_running() {
  local top sub install dir before
  top=$(printf 'VONU11 %0143d' 0)
  sub=$(printf 'Games %0144d' 0)
  install="C:\\$top\\$sub"
  dir=$WINEPREFIX/drive_c/$top/$sub/Game
  trap "rm -rf '$WINEPREFIX/drive_c/$top'" EXIT
  [ ${#install} -ge 300 ] || fail "the install folder is ${#install} characters long"
  mkdir -p "$dir" "$ref/game" && cp "$game_dir"/* "$dir"/ || fail "could not make the long folder"
  cp "$holder" "$ref/game/base.exe" && cp "$holder" "$dir/vonu.exe" &&
    { cat "$holder"; printf 'VONU 11 v1.01\n'; } >"$ref/game/patched.exe" || fail "could not put the stand-in game in place"
  reg_quiet add "$game_key" /v 'Install Dir' /t REG_SZ /d "$install" /f || fail "could not move the game"
  printf 'x' >"$state/game-file"
  run_long_game() {
    rm -f "$state/game-ready"
    wine "$install\\Game\\vonu.exe" "$(winpath "$state/game-file")" "$(winpath "$state/game-ready")" >/dev/null 2>&1 &
    for _ in $(seq 500); do [ -e "$state/game-ready" ] && break; sleep 0.01; done
    [ -e "$state/game-ready" ] || fail "the stand-in game did not start from the long folder"
  }
  run_long_game
  before=$(folder_sums "$dir")
  drive "${start[@]}" window click id=105 parent=104 box 'caption=VONU11 XQ' icon=stop \
        'has=A játék fut: a vonu.exe a Game mappából indult.' answer close exit code=0
  [ "$(folder_sums "$dir")" = "$before" ] || fail "the Game folder changed while the game ran"
  drive kill name=vonu.exe
  drive "${start[@]}" window click id=105 parent=104 box "$backed_up_caption" "$backed_up_text" answer exit code=0
  expect_folder long_backed_up "$dir"

  install_patch "$dir"
  cp "$ref/game/patched.exe" "$dir/vonu.exe" || fail "could not install the patched game"
  run_long_game
  before=$(folder_sums "$dir")
  drive "${start[@]}" window click id=101 box 'caption=VONU11 XQ' icon=stop \
        'has=A játék fut: a vonu.exe a Game mappából indult.' answer close exit code=0
  [ "$(folder_sums "$dir")" = "$before" ] || fail "the Game folder changed while the game ran"
  drive kill name=vonu.exe
  drive "${start[@]}" window click id=101 box "$switched_caption" "$base_applied" icon=info answer exit code=0
  expect_folder long_base_active "$dir"
}

all_cases+=(install_dir_300_game_running)
