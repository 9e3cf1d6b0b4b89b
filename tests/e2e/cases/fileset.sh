# shellcheck shell=bash
# shellcheck disable=SC2154  # the helpers and names come from run.sh
# Version switch and backup cases that read the Game folder as they find it;
# sourced by run.sh, which defines the helpers used here.

# make_files SPEC...: each SPEC is NAME=VERSION (base or patched), the file
# NAME made as a copy of that version of its game file.
make_files() {
  local spec name
  for spec in "$@"; do
    name=${spec%%=*}
    cp "$ref/${spec#*=}/$(active_name "$name")" "$game_dir/$name" || fail "could not make $name"
  done
}
# The game file a stored name belongs to: data0.mrvdefbig -> data0.big.
active_name() { local n=$1; n=${n/.mrvdef/.}; printf '%s' "${n/.mrvupd/.}"; }

# cut_off N FROM: a switch away from FROM (base or patched) cut off after
# its first N renames of fourteen.
cut_off() {
  local n=$1 from=$2 put bring f i=0
  if [ "$from" = patched ]; then put=upd bring=def; else put=def bring=upd; fi
  local other; other=$([ "$from" = patched ] && echo base || echo patched)
  rm -f "$game_dir"/*
  for f in "${game_files[@]}"; do
    make_files "$f=$from" "$(stored_name "$f" "$bring")=$other"
  done
  for f in "${game_files[@]}"; do
    [ $((i++)) -lt "$n" ] && mv "$game_dir/$f" "$game_dir/$(stored_name "$f" "$put")"
  done
  for f in "${game_files[@]}"; do
    [ $((i++)) -lt "$n" ] && mv "$game_dir/$(stored_name "$f" "$bring")" "$game_dir/$f"
  done
  return 0
}

# A switch cut off between its halves is finished by the next run, towards
# either version.
case_switch_half_done() {
  set_flag 1
  cut_off 7 patched
  drive "${start[@]}" window click id=101 box "$switched_caption" "$base_applied" icon=info answer exit code=0
  expect_folder base_active
  cut_off 10 base
  drive "${start[@]}" window click id=103 click id=101 box "$switched_caption" "$patched_applied" icon=info \
        answer exit code=0
  expect_folder patched_active
  cut_off 4 patched
  drive "${start[@]}" window click id=103 click id=101 box "$switched_caption" "$patched_applied" icon=info \
        answer exit code=0
  expect_folder patched_active
}

# In a folder cut off between the halves, a held stored copy stops the
# finishing renames: those made are undone, the box asks to close the game,
# and once the file is let go the next click finishes the switch.
case_switch_half_done_held() {
  set_flag 1
  cut_off 9 patched
  rm -rf "$state/before"
  cp -a "$game_dir" "$state/before" || fail "could not keep the folder's state"
  local ready=$state/held
  rm -f "$ready"
  wine "$holder" 'C:\VONU11\Game\data1.mrvdefbig' "$(winpath "$ready")" >/dev/null 2>&1 &
  for _ in $(seq 200); do [ -e "$ready" ] && break; sleep 0.05; done
  [ -e "$ready" ] || fail "e2e_holder did not open data1.mrvdefbig"
  drive "${start[@]}" window click id=101 \
        box 'caption=VONU11 XQ' icon=stop 'has=A data1.mrvdefbig átnevezése data1.big névre nem sikerült' \
        box 'has=Az addigi átnevezések visszavonva.' \
        box 'has=Zárd be a játékot és minden programot, amely a file-jait használhatja, majd próbáld újra!' \
        answer main enabled=1
  wine "$driver" kill name=e2e_holder.exe >/dev/null 2>&1
  wait
  diff -r "$state/before" "$game_dir" >/dev/null || fail "the held switch left [$(names_in "$game_dir" | sort | one_line)]"
  drive attach name="$tool_name" window click id=101 box "$switched_caption" "$base_applied" answer exit code=0
  expect_folder base_active
}

# Right after the tool's own backup the patch is not installed: "Patchelt"
# says so and renames nothing, "Alap" says the base files are active already.
case_switch_patch_not_installed() {
  drive "${start[@]}" window click id=105 parent=104 box "$backed_up_caption" "$backed_up_text" answer exit code=0
  expect_folder backed_up
  drive "${start[@]}" window "${choice_face[@]}" click id=103 click id=101 \
        box 'caption=VONU11 XQ' icon=stop 'has=A Vonu11 1.01 Patch még nincs telepítve' \
        box 'has=Semmi sem változott' answer control id=101 enabled=1 \
        click id=102 click id=101 box "$switched_caption" icon=info \
        'has=Az alap VONU11 (v1.0) file-ok már aktívak, semmi sem változott.' answer exit code=0
  expect_folder backed_up
  expect_value "$tool_key" Backup "REG_SZ 1"
}

all_cases+=(switch_half_done switch_half_done_held switch_patch_not_installed)
