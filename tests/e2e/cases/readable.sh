# shellcheck shell=bash
# shellcheck disable=SC2154  # the variables and helpers are run.sh's and window.sh's
# Every player can read and hear the tool: its boxes keep their sentences
# whole, and a screen reader, asking from another process, hears the gauge and
# the controls. Sourced by run.sh.

# The Backup flag stored as a number: the box names the step to take in full,
# the registry key in it included, and fits on the screen.
case_box_keeps_the_step() {
  set_flag 1 REG_DWORD
  drive "${start[@]}" box 'caption=VONU11 XQ' icon=stop fits=1 \
        'has=Töröld ezt az értéket (rendszergazdaként: reg delete "HKLM\Software\Marvek\VONU11 XQ" /v Backup /reg:32 /f), majd futtasd újra ezt a programot!' \
        answer window close exit code=0
}

gauge_name='name=Néhány file biztonsági mentésének elvégzése szükséges!'

# During a backup the panel is heard as a progress bar named by the text
# above it, busy, its value the percent shown, which grows. data1.big is the
# large one: the gauge stands at 1-3 % while it is copied and moves on to
# 30-32 % after it. With the closing box up it says 100 % and is no longer
# busy. Before the backup, the panel is the system's plain client. The gauge
# tells of a new value only when its percent changes: four times in a backup
# (to 1-3, 30-32, 90-92 and 100 %), though it is shown, painted and made busy
# and idle besides.
case_gauge_heard() {
  truncate -s 1G "$game_dir/data1.big" || fail "could not make a large data1.big"
  drive "${start[@]}" window accessible id=104 role=client busy=0 listen \
        click id=105 parent=104 how=mouse wait-file 'path=C:\VONU11\Game\data1.mrvtmpbig' timeout=30000 \
        accessible id=104 role=progressbar "$gauge_name" busy=1 rising=1 timeout=120000 \
        box "$backed_up_caption" "$backed_up_text" timeout=120000 \
        accessible id=104 role=progressbar "$gauge_name" value=100% busy=0 heard id=104 min=1 max=4 \
        answer exit code=0
  expect_whole_copies all
}

# A screen reader that follows the gauge asks for its object on each value
# change while the copies go on, and hears each percent as the gauge showed
# it then, named by the text above it. data1.big, data3.big and vonu.exe are
# large, so that each of the four values stands for a while. Meanwhile the
# labels keep their names, the messages other programs send are answered at
# once, and none of them starts anything or cuts the backup short.
case_gauge_followed() {
  local f
  for f in data1.big data3.big vonu.exe; do
    truncate -s 400M "$game_dir/$f" || fail "could not make a large $f"
  done
  drive "${start[@]}" window follow click id=105 parent=104 how=mouse \
        wait-file 'path=C:\VONU11\Game\data1.mrvtmpbig' timeout=30000 \
        accessible id=107 parent=104 "$gauge_name" accessible id=108 parent=104 'name=Nyomj OK-t a kezdéshez!' \
        send id=105 parent=104 what=click send id=105 parent=104 what=clicked \
        send id=106 parent=104 what=clicked send what=close \
        box "$backed_up_caption" "$backed_up_text" timeout=120000 \
        followed id=104 values=1-3,30-32,90-92,100 "$gauge_name" \
        answer exit code=0
  expect_whole_copies all
}

# The buttons drawn by the tool itself are heard by their captions, as the
# system's buttons are; so are the labels and the version choice.
case_controls_heard() {
  drive "${start[@]}" window \
        accessible id=105 parent=104 name=OK accessible id=106 parent=104 name=Kilépés \
        accessible id=107 parent=104 'name=Néhány file biztonsági mentésének elvégzése szükséges!' \
        accessible id=108 parent=104 'name=Nyomj OK-t a kezdéshez!' close exit code=0
  set_flag 1
  make_active patched
  drive "${start[@]}" window accessible id=101 name=Alkalmaz \
        accessible id=102 'name=Alap VONU11 (v1.0)' accessible id=103 'name=Patchelt VONU11 (v.1.01)' \
        close exit code=0
}

all_cases+=(box_keeps_the_step gauge_heard gauge_followed controls_heard)
