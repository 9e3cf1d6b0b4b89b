# shellcheck shell=bash
# shellcheck disable=SC2154  # the variables and helpers are run.sh's
# The window under stress: keys and close requests during the backup, a second
# copy of the tool, boxes that must stay readable. Sourced by run.sh.

# big_data0 SIZE: data0.big made large and sparse, so that its copy takes a
# while and costs no disk until copied. Its copy writes every byte, which on a
# busy disk takes far longer than a box's usual wait: the boxes after it wait
# up to two minutes.
big_data0() {
  truncate -s "$1" "$game_dir/data0.big" || fail "could not make a large data0.big"
}

# Real keystrokes on the X display, to whichever window has the input focus.
press_keys() {
  command -v xdotool >/dev/null || skip "xdotool is not installed"
  xdotool key --delay 80 "$@" || fail "xdotool could not press $*"
}

# The backup has started copying data0.big and is still at it.
start_long_backup() {
  drive "${start[@]}" window control id=101 enabled=0 control id=102 enabled=0 control id=103 enabled=0 \
        click id=105 parent=104 how=mouse wait-file 'path=C:\VONU11\Game\data0.mrvtmpbig' timeout=30000
}

still_copying() {
  [ -e "$game_dir/data0.mrvtmpbig" ] || fail "the copy of data0.big ended before $1 (make data0.big larger)"
}

# Another program's window in front until decoy_end.
decoy_start() {
  decoy_done=$state/decoy-done
  rm -f "$decoy_done"
  wine "$driver" decoy wait-file "path=$(winpath "$decoy_done")" timeout=120000 >/dev/null 2>&1 &
  decoy_pid=$!
}
decoy_end() { touch "$decoy_done"; wait "$decoy_pid"; }

# Keys pressed while a backup that fails is copying do not answer its error
# box; the first-run face returns. Closing the box gives the activation back
# to the main window, not to the program in front before the box.
case_keys_during_failed_backup() {
  big_data0 1G
  start_long_backup
  # Taken while the copy runs, so only the copy of vonu.exe fails.
  mkdir "$game_dir/vonu.mrvdefexe"
  press_keys Return space Escape
  still_copying "the keys were pressed"
  decoy_start
  drive attach name="$tool_name" window \
        box 'caption=VONU11 XQ' icon=stop 'has=Még ne telepítsd a Vonu11 1.01 Patchet' timeout=120000 stays=1500 answer \
        control id=105 parent=104 visible=1 enabled=1 main enabled=1 active=1 close exit code=0
  decoy_end
  expect_value "$tool_key" Backup "REG_SZ 0"
}

# The same for a backup that succeeds: its box waits to be read.
case_keys_during_backup() {
  big_data0 1G
  start_long_backup
  press_keys Return space Escape
  still_copying "the keys were pressed"
  drive attach name="$tool_name" window box "$backed_up_caption" "$backed_up_text" timeout=120000 stays=1500 answer exit code=0
  expect_whole_copies all
  expect_value "$tool_key" Backup "REG_SZ 1"
}

# A close request during a backup that fails waits for it: the copy under way
# completes, the error box shows and stays, and answering it ends the program.
close_during_backup() {
  big_data0 1G
  start_long_backup
  mkdir "$game_dir/vonu.mrvdefexe"
  "$@"
  still_copying "the close request was made"
  drive attach name="$tool_name" window \
        box 'caption=VONU11 XQ' icon=stop 'has=Még ne telepítsd a Vonu11 1.01 Patchet' timeout=120000 stays=1000 \
        answer exit code=0
  cmp -s "$game_dir/data0.big" "$game_dir/data0.mrvdefbig" || fail "the copy of data0.big was cut short"
  expect_value "$tool_key" Backup "REG_SZ 0"
}

case_alt_f4_during_backup() { close_during_backup press_keys alt+F4; }

# The close box (SC_CLOSE), and a polite taskkill that posts WM_CLOSE to every
# top-level window of the tool.
close_messages() {
  drive attach name="$tool_name" window close
  wine taskkill /im "$tool_name" >/dev/null 2>&1
}
case_close_during_backup() { close_during_backup close_messages; }

# A second start while the tool is open: it ends at once without touching the
# registry, and the first copy comes to the front.
case_second_start() {
  drive "${start[@]}" window "${first_run_face[@]}"
  reg_quiet delete "$vendor_key" /f
  drive attach name="$tool_name" window decoy main active=0 "${start[@]}" exit code=0 timeout=5000 \
        attach name="$tool_name" window main active=1 close exit code=0
  expect_no_key "$tool_key"
  expect_folder untouched
}

# The version choice under the first-run panel does not answer a click sent to it.
case_choice_under_panel() {
  drive "${start[@]}" window "${first_run_face[@]}" control id=101 enabled=0 control id=102 enabled=0 \
        control id=103 enabled=0 click id=101 no-box for=700 close exit code=0
  expect_folder untouched
}

# A game folder path of a megabyte, quoted in the backup's error box: the box
# still fits on the screen with its OK button.
case_huge_install_dir() {
  local reg=$state/huge.reg dir
  dir=$(printf 'Nagyon hosszu mappa\\\\%.0s' $(seq 50000))
  printf 'REGEDIT4\r\n\r\n[%s]\r\n"Install Dir"="C:\\\\%s"\r\n' "${game_key/HKLM/HKEY_LOCAL_MACHINE}" "$dir" >"$reg"
  wine regedit /S "$(winpath "$reg")" >/dev/null 2>&1 || fail "could not import the long Install Dir"
  drive "${start[@]}" window click id=105 parent=104 \
        box 'caption=VONU11 XQ' icon=stop 'has=Még ne telepítsd' fits=1 answer close exit code=0
}

# The tool started from the shell, so that its exit code can be had after a
# key has ended it; ends_with_zero waits up to 20 s for that.
tool_pid=
start_in_shell() { wine "$tool" >/dev/null 2>&1 & tool_pid=$!; }
ends_with_zero() {
  local _
  for _ in $(seq 200); do kill -0 "$tool_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$tool_pid" 2>/dev/null && fail "the tool did not end after $1"
  wait "$tool_pid" || fail "the tool ended with code $? after $1, expected 0"
}

# Enter presses the face's default button and Esc leaves, on both faces;
# the keys go to the window in front, as a user types them.
case_enter_and_escape() {
  set_flag 1
  make_active base
  # The arrow keys choose the patched version, Enter applies it.
  drive "${start[@]}" window control id=102 focused=1
  press_keys Down Return
  drive attach name="$tool_name" window box "$switched_caption" "$patched_applied" answer exit code=0
  expect_folder patched_active
  start_in_shell
  drive attach name="$tool_name" window control id=102 focused=1
  press_keys Escape
  ends_with_zero Esc
  expect_folder patched_active
  # First run: Esc is "Kilépés", Enter is OK.
  reset_world
  start_in_shell
  drive attach name="$tool_name" window control id=105 parent=104 focused=1
  press_keys Escape
  ends_with_zero Esc
  expect_value "$tool_key" Backup "REG_SZ 0"
  drive "${start[@]}" window control id=105 parent=104 focused=1
  press_keys Return
  drive attach name="$tool_name" window box "$backed_up_caption" "$backed_up_text" answer exit code=0
  expect_value "$tool_key" Backup "REG_SZ 1"
}

# Another window comes to the front and the tool's comes back: the control
# that had the focus has it again.
case_focus_comes_back() {
  set_flag 1
  make_active patched
  drive "${start[@]}" window control id=102 focused=1
  press_keys Down Tab
  drive attach name="$tool_name" window control id=101 focused=1 control id=103 checked=1 \
        decoy main active=0 activate main active=1 control id=101 focused=1 close exit code=0
  expect_folder patched_active
}

# Under a dark scheme the picture buttons' captions stand out from their faces.
case_dark_scheme() {
  dark_scheme
  set_flag 1
  make_active patched
  drive "${start[@]}" window control id=101 legible=1 close exit code=0
  set_flag 0
  drive "${start[@]}" window control id=105 parent=104 legible=1 control id=106 parent=104 legible=1 \
        close exit code=0
}

all_cases+=(enter_and_escape focus_comes_back dark_scheme keys_during_failed_backup keys_during_backup alt_f4_during_backup close_during_backup second_start choice_under_panel
            huge_install_dir)
