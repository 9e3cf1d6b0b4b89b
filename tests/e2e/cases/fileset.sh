# shellcheck shell=bash
# shellcheck disable=SC2154  # the helpers and names come from run.sh
# Version switch cases that read the Game folder as they find it.

# cut_off N FROM: a switch away from FROM (base or patched) stopped after the
# first N of its fourteen renames.
cut_off() {
  local n=$1 from=$2 other=base put=upd bring=def f i=0
  [ "$from" = patched ] || { other=patched put=def bring=upd; }
  rm -f "$game_dir"/*
  for f in "${game_files[@]}"; do
    if ! cp "$ref/$from/$f" "$game_dir/$f" || ! cp "$ref/$other/$f" "$game_dir/$(stored_name "$f" "$bring")"; then
      fail "could not make the game folder"
    fi
  done
  for f in "${game_files[@]}"; do
    [ $((i++)) -lt "$n" ] && mv "$game_dir/$f" "$game_dir/$(stored_name "$f" "$put")"
  done
  for f in "${game_files[@]}"; do
    [ $((i++)) -lt "$n" ] && mv "$game_dir/$(stored_name "$f" "$bring")" "$game_dir/$f"
  done
  return 0
}

# The next run finishes a switch cut off midway, towards either version.
case_switch_half_done() {
  set_flag 1
  cut_off 7 patched
  drive "${start[@]}" window click id=101 box "$switched_caption" "$base_applied" icon=info answer exit code=0
  expect_folder base_active
  cut_off 10 base
  drive "${start[@]}" window click id=103 click id=101 box "$switched_caption" "$patched_applied" answer exit code=0
  expect_folder patched_active
  cut_off 4 patched
  drive "${start[@]}" window click id=103 click id=101 box "$switched_caption" "$patched_applied" answer exit code=0
  expect_folder patched_active
}

# Right after the tool's own backup the patch is not installed: "Patchelt"
# says so and renames nothing, "Alap" says the base files are active already.
case_switch_patch_not_installed() {
  drive "${start[@]}" window click id=105 parent=104 box "$backed_up_caption" "$backed_up_text" answer exit code=0
  drive "${start[@]}" window "${choice_face[@]}" click id=103 click id=101 \
        box 'caption=VONU11 XQ' icon=stop 'has=A Vonu11 1.01 Patch még nincs telepítve' \
        box 'has=Semmi sem változott' answer control id=101 enabled=1 \
        click id=102 click id=101 box "$switched_caption" icon=info \
        'has=Az alap VONU11 (v1.0) file-ok már aktívak, semmi sem változott.' answer exit code=0
  expect_folder backed_up
}

# The tool's own backup, then a patch that replaced vonu.exe alone: the other
# six files are no dead end. "Patchelt" leaves them active and names them;
# "Alap" puts them away like vonu.exe, which loses nothing, and names them.
one_replaced() { backed_up | sed 's#^vonu.exe=base/#vonu.exe=patched/#'; }
# The six files the patch left alone stay beside their backups; vonu.exe is switched.
six_stay() { backed_up | sed 's#^vonu.mrvdefexe=base/vonu.exe$#vonu.mrvupdexe=patched/vonu.exe#'; }
case_switch_patch_left_files_alone() {
  drive "${start[@]}" window click id=105 parent=104 box "$backed_up_caption" "$backed_up_text" answer exit code=0
  rm -f "$game_dir/vonu.exe"
  cp "$ref/patched/vonu.exe" "$game_dir/vonu.exe" || fail "could not replace vonu.exe"
  drive "${start[@]}" window "${choice_face[@]}" click id=103 click id=101 \
        box "$switched_caption" icon=info 'has=Patchelt VONU11 (v1.01) file-ok alkalmazva.' \
        box 'has=még ugyanazok, mint az alap változatuk:' box 'has=data0.bh, data1.bh, data3.bh, data0.big, data1.big, data3.big.' \
        answer exit code=0
  expect_folder one_replaced
  drive "${start[@]}" window click id=101 box "$switched_caption" icon=info 'has=Alap VONU11 (v1.0) file-ok alkalmazva.' \
        box 'has=ezért úgy maradtak, ahogy voltak:' box 'has=data0.bh, data1.bh, data3.bh, data0.big' \
        answer exit code=0
  expect_folder six_stay
  expect_value "$tool_key" Backup "REG_SZ 1"
}

# A Linux folder tells names apart by case: DATA0.BH beside data0.bh stops
# the switch before its first rename, and the box names both.
case_switch_names_by_case() {
  local before
  set_flag 1
  make_active patched
  cp "$game_dir/data0.bh" "$game_dir/DATA0.BH" || fail "could not make the twin"
  before=$(folder_sums "$game_dir")
  drive "${start[@]}" window click id=101 box 'caption=VONU11 XQ' icon=stop \
        'has=csak kis- és nagybetűben különböznek egymástól: ' box 'has=DATA0.BH' box 'has=data0.bh' \
        answer close exit code=0
  [ "$(folder_sums "$game_dir")" = "$before" ] || fail "the Game folder changed"
}

all_cases+=(switch_half_done switch_patch_not_installed switch_patch_left_files_alone switch_names_by_case)

# The patch run again while the base version is active, keeping its archive's
# dates: every active file is now its stored patched copy's twin. "Alap"
# renames nothing and says the base versions are gone; "Patchelt" says the
# patched version is active already and stores nothing as base.
patch_over_base() { local f; for f in "${game_files[@]}"; do printf '%s\n' "$f=patched/$f" "$(stored_name "$f" upd)=patched/$f"; done; }
case_switch_patch_over_base() {
  set_flag 1
  make_active base
  local f
  for f in "${game_files[@]}"; do
    rm -f "$game_dir/$f"
    cp -p "$game_dir/$(stored_name "$f" upd)" "$game_dir/$f" || fail "could not install the patch again"
  done
  drive "${start[@]}" window "${choice_face[@]}" click id=101 \
        box 'caption=VONU11 XQ' icon=stop 'has=alap (v1.0) változata már nincs meg a Game mappában' \
        box 'has=Telepítsd újra a játék alap változatát' answer control id=101 enabled=1 \
        click id=103 click id=101 box "$switched_caption" icon=info \
        'has=A patchelt VONU11 (v1.01) file-ok már aktívak, semmi sem változott.' answer exit code=0
  expect_folder patch_over_base
}

all_cases+=(switch_patch_over_base)

# A folder whose switch to the patched version notes every kind of file:
#   data0.bh, data1.bh  patched, beside stored base copies: their copies say the patched version was active
#   data3.bh            base, beside its stored patched copy: its copy says the base version was, so the
#                       copies disagree (data3.bh is swapped, the others stay)
#   data0.big           base, beside a stored base copy of another date: still the base version, by size alone
#   data1.big           patched, beside a stored patched copy of another date: the same, by size alone
#   data3.big, vonu.exe base, with nothing stored
every_note() {
  local f
  rm -f "$game_dir"/*
  for f in data0.bh data1.bh data1.big; do cp "$ref/patched/$f" "$game_dir/$f" || fail "could not make the game folder"; done
  for f in data3.bh data0.big data3.big vonu.exe; do cp "$ref/base/$f" "$game_dir/$f" || fail "could not make the game folder"; done
  for f in data0.bh data1.bh data0.big; do
    cp "$ref/base/$f" "$game_dir/$(stored_name "$f" def)" || fail "could not make the game folder"
  done
  for f in data3.bh data1.big; do
    cp "$ref/patched/$f" "$game_dir/$(stored_name "$f" upd)" || fail "could not make the game folder"
  done
  touch -d '2004-05-06 07:08:09' "$game_dir/data0.mrvdefbig" "$game_dir/data1.mrvupdbig"
}
# After the switch: data3.bh swapped, every other file as it was.
every_note_switched() {
  local f
  for f in data0.bh data1.bh data3.bh; do printf '%s\n' "$f=patched/$f" "$(stored_name "$f" def)=base/$f"; done
  printf '%s\n' data0.big=base/data0.big data0.mrvdefbig=base/data0.big \
    data1.big=patched/data1.big data1.mrvupdbig=patched/data1.big data3.big=base/data3.big vonu.exe=base/vonu.exe
}

# The switch's box with every note, on a screen of SIZE at DPI. It fits on the
# screen, and where its whole text fits (whole) nothing is left out: every
# heading keeps its names under it. Where it does not (cut), the box shows
# its first line and its last heading with their names around a line of
# "…". The 96-dpi 768-line box is left at BUILD/e2e-switch_every_note-768-96.png.
every_note_box() {
  local size=$1 dpi=$2 text=()
  on_screen "$size" "$dpi"
  reset_world
  set_flag 1
  every_note
  drive screen "dpi=$dpi" "height=${size#*x}"
  if [ "$3" = whole ]; then
    text=(lacks=…
          box $'has=a file-oknak a patchelt változata volt aktív:\ndata0.bh, data1.bh.'
          box $'has=az alap (v1.0) változata volt aktív:\ndata3.bh.'
          box $'has=nincs tárolt példánya, ezért úgy maradtak, ahogy voltak; a program nem tudja, melyik változatuk aktív:\ndata3.big, vonu.exe.')
  else
    text=($'has=\n…\n')
  fi
  # Stored copies that disagree: the switch asks first, and finishes on yes.
  drive "${start[@]}" window click id=103 click id=101 \
        box icon=question 'has=Egy félbeszakadt váltás hagyta így őket?' answer button=yes \
        box "$switched_caption" icon=info fits=1 "${text[@]}" \
        box 'has=Patchelt VONU11 (v1.01) file-ok alkalmazva.' \
        box $'has=a program azzal azonos változatnak vette őket:\ndata0.big (data0.mrvdefbig), data1.big (data1.mrvupdbig).'
  [ "$size-$dpi" = 1366x768-96 ] && import -display "$DISPLAY" -window root "$build/e2e-$c-768-96.png" 2>/dev/null
  drive attach name="$tool_name" window box answer exit code=0
  expect_folder every_note_switched
}
case_switch_every_note() {
  every_note_box 1366x768 96 whole
  every_note_box 1920x1080 96 whole
  every_note_box 1920x1080 144 whole
  every_note_box 1366x768 144 cut
}

all_cases+=(switch_every_note)
