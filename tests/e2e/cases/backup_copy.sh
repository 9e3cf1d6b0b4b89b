# shellcheck shell=bash
# shellcheck disable=SC2154  # the names come from run.sh, which sources this file
# Cases on the backup's copies themselves, sourced by run.sh.

# attributes_of NAME: the attribute columns that Windows' own attrib shows for
# a file of the Game folder (A, H, R; Wine marks every file A).
attributes_of() {
  wine attrib "$install_dir\\Game\\$1" 2>/dev/null | tr -d '\r' | sed 's/ *[A-Z]:\\.*$//'
}

# Read-only and hidden game files: each stored copy shows the attributes and
# the last-write time of its source, and the switch can still rename the
# read-only ones.
case_backup_attributes() {
  chmod a-w "$game_dir/data0.bh" "$game_dir/data0.big" || fail "could not make files read-only"
  wine attrib +h "$install_dir\\Game\\data3.bh" >/dev/null 2>&1
  wine attrib +h "$install_dir\\Game\\data0.big" >/dev/null 2>&1
  touch -d '2004-05-06 07:08:09.123456789' "$game_dir/data0.big" "$game_dir/vonu.exe"
  [ "$(attributes_of data0.big)" = "A   HR" ] || fail "could not set data0.big's attributes: '$(attributes_of data0.big)'"
  drive "${start[@]}" window click id=105 parent=104 \
        box "$backed_up_caption" "$backed_up_text" icon=info answer exit code=0
  expect_folder backed_up
  local f want got
  for f in "${game_files[@]}"; do
    want=$(attributes_of "$f")
    got=$(attributes_of "$(stored_name "$f" def)")
    [ "$got" = "$want" ] || fail "$(stored_name "$f" def) shows '$got', its source '$want'"
    # Windows keeps times to a tenth of a microsecond.
    want=$(stat -c %y "$game_dir/$f" | cut -c1-27)
    got=$(stat -c %y "$game_dir/$(stored_name "$f" def)" | cut -c1-27)
    [ "$got" = "$want" ] || fail "$(stored_name "$f" def) was last written $got, its source $want"
  done
  # The patch installed over the active files; the switch brings the
  # read-only base copies back under their own names.
  install_patch
  drive "${start[@]}" window "${choice_face[@]}" click id=101 box "$switched_caption" "$base_applied" answer exit code=0
  expect_folder base_active
}

# A run ended after a read-only file's whole copy took its date and its
# read-only bit leaves a read-only twin under the temporary name; the next run
# still removes it and completes the backup.
case_backup_readonly_leftover() {
  local tmp=$game_dir/data0.mrvtmpbh
  if ! cp -p "$game_dir/data0.bh" "$tmp" || ! chmod a-w "$tmp"; then fail "could not make the leftover copy"; fi
  drive "${start[@]}" window click id=105 parent=104 box icon=question "$resume_question" answer button=yes \
        box "$backed_up_caption" "$backed_up_text" icon=info answer exit code=0
  expect_folder backed_up
}

# A backup that stopped after the .bh files: the folder cannot show whether
# the patch came since, so OK asks whether the rest hold the base version.
# "No", the default, copies nothing and says how to get the base versions
# back; "yes" copies the rest.
bh_stored() { untouched; local f; for f in data0.bh data1.bh data3.bh; do printf '%s\n' "$(stored_name "$f" def)=base/$f"; done; }
case_backup_resumed_asks() {
  local f
  for f in data0.bh data1.bh data3.bh; do cp -p "$game_dir/$f" "$game_dir/$(stored_name "$f" def)" || fail "could not store $f"; done
  drive "${start[@]}" window "${first_run_face[@]}" click id=105 parent=104 box icon=question "$resume_question" \
        box 'has=data0.big, data1.big, data3.big, vonu.exe.' answer button=default \
        box 'caption=VONU11 XQ' icon=stop 'has=a program nem menti el őket alapként' \
        box 'has=és a kérdésre válaszolj „Igen”-nel!' answer \
        control id=105 parent=104 visible=1 enabled=1 close exit code=0
  expect_folder bh_stored
  expect_value "$tool_key" Backup "REG_SZ 0"
  drive "${start[@]}" window click id=105 parent=104 box icon=question "$resume_question" answer button=yes \
        box "$backed_up_caption" "$backed_up_text" icon=info answer exit code=0
  expect_folder backed_up
  expect_value "$tool_key" Backup "REG_SZ 1"
}

# An empty stored copy of a file, dated 2040, is no backup of it: the box
# shows the copy's date in the local time that Explorer shows, and keeps the
# copy.
case_backup_copy_dated_2040() {
  local stamp
  : >"$game_dir/vonu.mrvdefexe" && touch -d '2040-02-29 12:00:00 UTC' "$game_dir/vonu.mrvdefexe" ||
    fail "could not make the stored copy"
  stamp=$(date -d '2040-02-29 12:00:00 UTC' '+%Y. %m. %d. %H:%M:%S')
  # The empty copy says an earlier backup was made: what stands in the way
  # is named before the player is asked about the rest, and nothing is copied.
  drive "${start[@]}" window click id=105 parent=104 box 'caption=VONU11 XQ' icon=stop \
        "has=vonu.exe: üres (0 bájtos) file áll itt: vonu.mrvdefexe (vonu.mrvdefexe: 0 bájt, $stamp)" answer close exit code=0
  [ ! -s "$game_dir/vonu.mrvdefexe" ] || fail "the stored copy changed"
  [ "$(names_in "$game_dir" | grep -ic mrvdef)" -eq 1 ] || fail "files were backed up before the empty copy was cleared"
  expect_value "$tool_key" Backup "REG_SZ 0"
}

# expect_no_copies_but NAME: the Game folder holds the seven files and NAME.
expect_no_copies_but() {
  local got
  got=$(names_in "$game_dir" | grep -iE 'mrv(def|upd|tmp)')
  [ "$got" = "$1" ] || fail "the Game folder holds stored copies [$(one_line <<<"$got")], expected [$1]"
}

# A first backup that stored only the three .bh files (the other four were
# not there), then the 1.01 patch installed anyway. Without the flag the .bh
# copies show no patch: the start offers the backup again, which asks about
# the four files with nothing stored; the true answer, no, stores no patched
# file as base.
case_backup_after_patch_over_partial() {
  rm -f "$game_dir"/data?.big "$game_dir/vonu.exe"
  drive "${start[@]}" window click id=105 parent=104 box 'caption=VONU11 XQ' icon=stop \
        'has=vonu.exe: nem található a Game mappában' answer close exit code=0
  install_patch
  drive "${start[@]}" window "${first_run_face[@]}" click id=105 parent=104 box icon=question "$resume_question" \
        box 'has=data0.big, data1.big, data3.big, vonu.exe.' answer button=no \
        box 'caption=VONU11 XQ' icon=stop 'has=a program nem menti el őket alapként' answer close exit code=0
  [ "$(names_in "$game_dir" | grep -ic mrvdef)" -eq 3 ] || fail "a patched file was stored as base"
  expect_value "$tool_key" Backup "REG_SZ 0"
}

# A backup killed after data0.big's temporary copy was written whole, then
# the patch, then OK: the player says the files may hold the patch, and the
# box names the temporary copy as what may hold data0.big's earlier version;
# it stays.
case_backup_temp_after_patch() {
  local f
  for f in data0.bh data1.bh data3.bh; do cp -p "$game_dir/$f" "$game_dir/$(stored_name "$f" def)" || fail "could not store $f"; done
  cp -p "$game_dir/data0.big" "$game_dir/data0.mrvtmpbig" || fail "could not make the temporary copy"
  # A patch that leaves the .bh files alone: nothing shows it yet.
  for f in data0.big data1.big data3.big vonu.exe; do cp "$ref/patched/$f" "$game_dir/$f" || fail "could not patch $f"; done
  drive "${start[@]}" window "${first_run_face[@]}" click id=105 parent=104 box icon=question "$resume_question" \
        answer button=no box 'caption=VONU11 XQ' icon=stop \
        'has=data0.big (a data0.mrvtmpbig egy félbeszakadt mentés másolata, a file egy korábbi változata lehet benne: ne töröld)' \
        answer close exit code=0
  cmp -s "$game_dir/data0.mrvtmpbig" "$ref/base/data0.big" || fail "the temporary copy is gone or changed"
  expect_value "$tool_key" Backup "REG_SZ 0"
}

# The flag cannot be written once the copies are made (the tool's key is gone
# and a volatile key that cannot hold it took its parent's place): the error
# box, then the first-run face again, ready for another try; the copies stay.
case_backup_flag_refused() {
  drive "${start[@]}" window "${first_run_face[@]}"
  reg_quiet delete "$vendor_key" /f
  drive reg-volatile 'key=Software\Marvek'
  drive attach name="$tool_name" window click id=105 parent=104 \
        box 'caption=VONU11 XQ' icon=stop "text=Failed to set data for 'Backup'" answer \
        "${first_run_face[@]}" close exit code=0
  expect_whole_copies all
  expect_no_key "$tool_key"
}

all_cases+=(backup_resumed_asks backup_attributes backup_readonly_leftover backup_copy_dated_2040 backup_flag_refused
            backup_after_patch_over_partial backup_temp_after_patch)

# A Unix symbolic link at data0.mrvtmpbig to a file outside the Game folder,
# the only link Wine makes: OK and "Alkalmaz" both stop and name it, and
# neither the link nor its file changes. Once its file is gone, the link that
# leads nowhere stops "Alkalmaz" all the same.
case_backup_link_at_temp_name() {
  local outside=$state/outside.big link=$game_dir/data0.mrvtmpbig
  if ! printf 'not a game file\n' >"$outside" || ! ln -s "$outside" "$link"; then fail "could not make the link"; fi
  drive "${start[@]}" window click id=105 parent=104 box 'caption=VONU11 XQ' icon=stop \
        'has=data0.big: a data0.mrvtmpbig nevén hivatkozás (junction vagy szimbolikus link) áll, nem file' \
        answer close exit code=0
  expect_value "$tool_key" Backup "REG_SZ 0"
  set_flag 1
  make_active patched
  local linked='has=Ezeken a neveken hivatkozás (junction vagy szimbolikus link) áll, nem file: data0.mrvtmpbig.'
  drive "${start[@]}" window click id=101 box 'caption=VONU11 XQ' icon=stop "$linked" answer close exit code=0
  [ "$(readlink "$link")" = "$outside" ] || fail "the link changed"
  [ "$(cat "$outside")" = 'not a game file' ] || fail "the file the link leads to changed"
  rm -f "$outside"
  drive "${start[@]}" window click id=101 box 'caption=VONU11 XQ' icon=stop "$linked" answer close exit code=0
  [ -L "$link" ] || fail "the link that leads nowhere is gone"
  rm -f "$link"
  expect_folder patched_active
}

all_cases+=(backup_link_at_temp_name)
