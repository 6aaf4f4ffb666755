#!/bin/sh
# Draws the pictures of the tiny UTF-8 game with ImageMagick and synthesises its one
# sound with SoX. Its texts are plain UTF-8 files kept as they are.
set -eu
game=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$game/Images" "$game/Music"
png() { out=$1; shift; convert "$@" -strip +dither -colors 24 -define png:exclude-chunks=date,time "PNG8:$out"; }

# A porch in the morning: the door, the mailbox, the sea beyond.
png "$game/Images/porch.png" -size 480x253 gradient:'#a8d0e8-#f4e8d0' \
  -fill '#6aa0c0' -draw 'rectangle 0,150 480,185' \
  -fill '#e8e0d0' -draw 'rectangle 40,40 240,253' -fill '#7a4a2a' -draw 'rectangle 100,100 170,253' \
  -fill '#c04030' -draw 'rectangle 300,150 350,185' -fill '#5a5a5a' -draw 'rectangle 321,185 329,253' \
  -fill '#ffffff' -draw 'polygon 312,160 340,158 341,166 313,168' \
  -fill '#b09070' -draw 'rectangle 0,230 480,253'

# The postcard: sea, white houses, a stamp with a gull.
png "$game/Images/postcard.png" -size 480x253 xc:'#f4f0e4' \
  -fill '#3a7ab0' -draw 'rectangle 20,120 300,233' -fill '#8ac4ea' -draw 'rectangle 20,20 300,120' \
  -fill '#ffffff' -draw 'rectangle 60,90 100,125 rectangle 110,80 160,125 rectangle 170,95 210,125' \
  -fill '#2060a0' -draw 'ellipse 135,80 25,12 180,360' \
  -fill '#d05040' -draw 'rectangle 380,24 450,96' -fill '#ffffff' -draw 'polygon 395,60 415,50 435,60 415,56' \
  -stroke '#8a8070' -strokewidth 2 -draw 'line 320,130 460,130 line 320,160 460,160 line 320,190 460,190' -stroke none

# The inventory window's neutral picture.
convert -size 250x250 xc:'#d8d4cc' -fill '#b8b4ac' -draw 'circle 125,125 125,60' -strip -quality 60 "$game/Images/default.jpg"

# The doorbell: two tones, 8-bit WAV.
sox -R -n -r 11025 -c 1 -b 8 -e unsigned "$game/Music/doorbell.wav" synth 0.35 sine 660 fade 0 0.35 0.3 : synth 0.6 sine 523 fade 0 0.6 0.55 gain -n -3
