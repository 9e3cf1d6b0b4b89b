# shellcheck shell=bash disable=SC2154  # the helpers and names come from run.sh
# The game folder and the flag as read from the registry: odd values must not
# lead the tool to a folder the user never chose, nor cost the stored flag.
# Sourced by run.sh, whose helpers and variables these cases use.

not_registered='has=nincs bejegyezve a registryben (HKEY_LOCAL_MACHINE\Software\Dravela\VONU 11 kulcs'

# No "Install Dir": GameDir is "\Game\", which would be the current drive's
# (the driver starts the tool in C:\). A switched set waits there; neither
# the backup nor the switch may touch it, and both say what is missing.
case_registry_install_dir_missing() {
  reg_quiet delete "$game_key" /v 'Install Dir' /f || fail "could not delete \"Install Dir\""
  stray_game=$WINEPREFIX/drive_c/Game
  trap 'rm -rf "$stray_game"' EXIT
  mkdir -p "$stray_game"
  game_dir=$stray_game make_active patched

  drive "${start[@]}" window "${first_run_face[@]}" click id=105 parent=104 \
        box 'caption=VONU11 XQ' icon=stop "$not_registered" \
        box 'has=A biztonsági mentés nem készült el, semmi sem változott.' answer \
        control id=105 parent=104 visible=1 enabled=1 close exit code=0
  expect_value "$tool_key" Backup "REG_SZ 0"

  set_flag 1
  drive "${start[@]}" window "${choice_face[@]}" click id=101 \
        box 'caption=VONU11 XQ' icon=stop "$not_registered" box 'has=Semmi sem változott' answer \
        control id=101 enabled=1 close exit code=0
  expect_folder patched_active "$stray_game"
  expect_folder untouched
}

# A "Backup" value beyond what the tool reads (20 MiB of text): the read
# error at start-up, and the value stays exactly as it was.
case_registry_backup_too_large() {
  local reg=$state/large-backup.reg before after
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[%s]\r\n"Backup"="' 'HKEY_LOCAL_MACHINE\Software\Marvek\VONU11 XQ'
    head -c $((10 * 1024 * 1024)) /dev/zero | tr '\0' 1
    printf '"\r\n'
  } >"$reg"
  reg_quiet import "$(winpath "$reg")" || fail "could not import a 20 MiB Backup value"
  before=$(wine reg query "$tool_key" /v Backup /reg:32 2>/dev/null | md5sum)
  error_then_choice "Failed to get data for 'Backup'"
  after=$(wine reg query "$tool_key" /v Backup /reg:32 2>/dev/null | md5sum)
  [ "$after" = "$before" ] || fail "the Backup value changed: $(reg_value "$tool_key" Backup | head -c 40)"
}

# "Install Dir" as an expandable string, as some installers write it.
case_registry_install_dir_expandable() {
  reg_quiet add "$game_key" /v 'Install Dir' /t REG_EXPAND_SZ /d '%SystemDrive%\VONU11' /f ||
    fail "could not set \"Install Dir\""
  expect_value "$game_key" 'Install Dir' 'REG_EXPAND_SZ %SystemDrive%\VONU11'
  set_flag 1
  make_active patched
  drive "${start[@]}" window click id=101 box "$switched_caption" "$base_applied" icon=info answer exit code=0
  expect_folder base_active
}

# "Install Dir" in the \\?\ form with a trailing separator; that form takes
# every separator literally: the backup and the switch both reach the files.
case_registry_install_dir_long_form() {
  reg_quiet add "$game_key" /v 'Install Dir' /t REG_SZ /d '\\?\C:\VONU11\' /f || fail "could not set \"Install Dir\""
  drive "${start[@]}" window click id=105 parent=104 box "$backed_up_caption" "$backed_up_text" answer exit code=0
  expect_folder backed_up
  install_patch
  drive "${start[@]}" window click id=101 box "$switched_caption" "$base_applied" icon=info answer exit code=0
  expect_folder base_active
}

all_cases+=(registry_install_dir_missing registry_backup_too_large registry_install_dir_expandable
            registry_install_dir_long_form)
