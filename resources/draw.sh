#!/usr/bin/env bash
# Regenerates the program's pictures in this folder:
#   background.jpg  410 x 310 baseline JFIF 1.01, 4:2:0, 96 dpi
#   tick.bmp        36 x 18, 16 colours, enabled + disabled cell, olive = transparent
#   abort.bmp       the same for the exit button
#   vonu11xq.ico    256 (PNG), 64, 48, 40, 32, 24, 20 and 16 pixels, 32-bit colour
#                   with alpha: sharp at 100 to 200 % scaling and in Explorer's
#                   large views
# Needs Debian's imagemagick (ImageMagick 6) and python3. The output is the same
# bytes on every run.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
IM=/usr/bin/convert          # the real ImageMagick, whatever else is on PATH
gen="python3 $here/gen.py"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# PNG intermediates carry no dates, so a rerun draws the same pixels.
png() { echo "PNG32:$work/$1.png"; }
nodate=(+set date:create +set date:modify +set date:timestamp -define png:exclude-chunks=date,time)

# ------------------------------------------------------------ background
# Only columns 10..398 and rows 69..239 show in the window. The controls sit
# over rows 85..126 (radio buttons at the left, the apply button at the right),
# so that band holds nothing but evening sky; the pitch and the ball lie below.
W=410 H=310 HORIZON=150

# sky: night blue at the top, violet, then a warm band at the horizon
"$IM" -size ${W}x60 gradient:'#10163a-#2b2558' \
      -size ${W}x50 gradient:'#2b2558-#6a3f78' \
      -size ${W}x$((HORIZON - 110)) gradient:'#6a3f78-#e98a55' \
      -size ${W}x$((H - HORIZON)) xc:'#e98a55' \
      -append "${nodate[@]}" "$(png sky)"

# the low sun's glow behind the far stand
"$IM" -size ${W}x${H} xc:none -fill '#ffc98a' -stroke none \
      -draw "ellipse 205,$((HORIZON - 4)) 190,46 0,360" -blur 0x24 \
      -channel A -evaluate multiply 0.9 +channel "${nodate[@]}" "$(png glow)"

# a few early stars, only in the calm parts of the sky
stars=""
for p in 14,74 48,70 118,77 150,71 236,78 250,96 226,118 258,132 300,72 352,80 \
         392,74 388,128 12,134 212,88 178,132 96,136 330,136 240,140; do
  stars+="point $p "
done

# far stand: a dark band with a curved roof line and a row of lit windows
stand="fill '#1d1632' polygon 0,$((HORIZON - 6)) 60,$((HORIZON - 12)) 205,$((HORIZON - 16)) \
350,$((HORIZON - 12)) 410,$((HORIZON - 6)) 410,$((HORIZON + 14)) 0,$((HORIZON + 14))"
roof="fill '#2d2346' polygon 0,$((HORIZON - 6)) 60,$((HORIZON - 12)) 205,$((HORIZON - 16)) \
350,$((HORIZON - 12)) 410,$((HORIZON - 6)) 410,$((HORIZON - 3)) 350,$((HORIZON - 9)) \
205,$((HORIZON - 13)) 60,$((HORIZON - 9)) 0,$((HORIZON - 3))"
windows=""
for ((x = 6; x < W; x += 9)); do
  windows+="rectangle $x,$((HORIZON + 2)) $((x + 4)),$((HORIZON + 4)) "
done

# floodlight masts at both ends, their lamp heads just below the controls
mast() { # x
  local x=$1 top=$((HORIZON - 15))
  echo "fill '#161126' rectangle $((x - 1)),$top $((x + 1)),$((HORIZON + 10))
        fill '#161126' rectangle $((x - 9)),$((top - 7)) $((x + 9)),$top
        fill '#fff6d8' rectangle $((x - 7)),$((top - 5)) $((x - 4)),$((top - 2))
        rectangle $((x - 2)),$((top - 5)) $((x + 1)),$((top - 2))
        rectangle $((x + 3)),$((top - 5)) $((x + 6)),$((top - 2))"
}

"$IM" -size ${W}x${H} xc:none \
      -fill '#ffffff' -stroke none -draw "$stars" \
      -channel A -evaluate multiply 0.7 +channel \
      "${nodate[@]}" "$(png stars)"

"$IM" -size ${W}x${H} xc:none -stroke none \
      -draw "$stand" -draw "$roof" \
      -fill '#c49a6c' -draw "$windows" \
      -draw "$(mast 22)" -draw "$(mast 388)" \
      "${nodate[@]}" "$(png stand)"

# soft halo round each lamp head
"$IM" -size ${W}x${H} xc:none -fill '#fff1c8' -stroke none \
      -draw "ellipse 22,$((HORIZON - 19)) 20,12 0,360 ellipse 388,$((HORIZON - 19)) 20,12 0,360" \
      -blur 0x7 -channel A -evaluate multiply 0.55 +channel \
      "${nodate[@]}" "$(png halo)"

# pitch: mown stripes that widen towards the viewer, darker in the distance
PT=$((HORIZON + 14))
stripes=""
y=$PT; k=0; h=6
while ((y < H)); do
  y2=$((y + h))
  if ((k % 2 == 0)); then c='#2f7a36'; else c='#28692f'; fi
  stripes+="fill '$c' rectangle 0,$y $W,$y2 "
  y=$y2; k=$((k + 1)); h=$((h + 4))
done
"$IM" -size ${W}x${H} xc:none -stroke none -draw "$stripes" \
      \( -size ${W}x${H} gradient:'#00000000-#00000000' \) -compose over -composite \
      "${nodate[@]}" "$(png pitch)"
# evening shade over the far part of the grass
"$IM" -size ${W}x$((H - PT)) gradient:'#140c2c-#140c2c00' \
      -channel A -evaluate multiply 0.55 +channel \
      -background none -gravity south -extent ${W}x${H} +gravity \
      "${nodate[@]}" "$(png dusk)"

# markings: far touch line, halfway line, centre circle and spot
BX=205 BY=210 BR=19
lines="stroke '#e9efe6' stroke-width 2 fill none
       line 0,$((PT + 5)) $W,$((PT + 5))
       line $BX,$((PT + 5)) $BX,$H
       ellipse $BX,$((BY + 6)) 92,24 0,360
       stroke none fill '#e9efe6' ellipse $BX,$((BY + 6)) 3,1.5 0,360"
"$IM" -size ${W}x${H} xc:none -draw "$lines" \
      -channel A -evaluate multiply 0.8 +channel \
      "${nodate[@]}" "$(png lines)"

# the ball on the centre spot with its shadow, lit from the sunset side
"$IM" -size ${W}x${H} xc:none -fill '#0b1a0c' -stroke none \
      -draw "ellipse $((BX + 6)),$((BY + BR - 1)) $((BR + 4)),5 0,360" \
      -blur 0x2.5 -channel A -evaluate multiply 0.6 +channel \
      "${nodate[@]}" "$(png shadow)"
"$IM" -size ${W}x${H} xc:none -draw "$($gen ball $BX $BY $BR 1.6)" \
      "${nodate[@]}" "$(png ball0)"
"$IM" -size $((4 * BR))x$((4 * BR)) radial-gradient:'#fff4e6-#6a6274' \
      -background '#6a6274' -gravity northwest \
      -extent ${W}x${H}-$((BX - 2 * BR - 8))-$((BY - 2 * BR - 10)) +gravity \
      "${nodate[@]}" "$(png light)"
"$IM" "$work/ball0.png" "$work/light.png" -compose multiply -composite \
      "$work/ball0.png" -compose copy_opacity -composite \
      "${nodate[@]}" "$(png ball)"

"$IM" "$work/sky.png" \
      "$work/glow.png" -compose screen -composite \
      "$work/stars.png" -compose over -composite \
      "$work/halo.png" -compose screen -composite \
      "$work/stand.png" -compose over -composite \
      "$work/pitch.png" -composite \
      "$work/dusk.png" -composite \
      "$work/lines.png" -composite \
      "$work/shadow.png" -composite \
      "$work/ball.png" -composite \
      -alpha off -strip -type TrueColor \
      -units PixelsPerInch -density 96 \
      -interlace none -sampling-factor 2x2,1x1,1x1 -quality 90 \
      "${nodate[@]}" "JPEG:$here/background.jpg"

# ------------------------------------------------------- button pictures
$gen buttons "$here"

# ------------------------------------------------------------------ icon
# A football with a two-way arrow across its lower half, drawn large and
# scaled down; the small sizes use a master with bolder lines.
arrow="stroke '#6b3d00' stroke-width 10 stroke-linejoin round fill '#f6b631'
       polygon 8,202 58,160 58,184 198,184 198,160 248,202 198,244 198,220 58,220 58,244"
arrow_hi="stroke none fill '#ffe08a'
       polygon 64,190 192,190 192,198 64,198"
icon_master() { # name ballstroke
  "$IM" -size 256x256 xc:none \
        -draw "$($gen ball 128 100 94 "$2")" \
        -draw "$arrow" -draw "$arrow_hi" \
        "${nodate[@]}" "$(png "$1")"
}
icon_master big 7
icon_master small 16
raws=()
for s in 256 64 48 40 32 24 20 16; do
  m=big; ((s < 32)) && m=small
  "$IM" "$work/$m.png" -filter Lanczos -resize ${s}x${s} -depth 8 "RGBA:$work/i$s.rgba"
  raws+=("$s:$work/i$s.rgba")
done
$gen ico "$here/vonu11xq.ico" "${raws[@]}"

echo "drawn: background.jpg tick.bmp abort.bmp vonu11xq.ico"
