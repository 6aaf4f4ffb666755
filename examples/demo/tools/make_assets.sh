#!/bin/sh
# Rebuilds the files of the demo game from what lies beside this script:
#   texts     tools/text/* (UTF-8, LF) -> game files in Windows-1251 with CR LF line ends
#   pictures  drawn with ImageMagick (convert)
#   sounds    synthesised with SoX; MIDI files written by make_midi.py
# Usage: tools/make_assets.sh [texts] [pictures] [sounds]   (no argument: all three)
# Needs: iconv, ImageMagick, sox with Ogg Vorbis support, python3.
# Rebuilding the texts also resets what playing changes: config.ini (window position,
# saved page), the choice states in the story file; Scripts/inventory.sav is removed.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
game=$(dirname "$here")
src="$here/text"

texts() {
  mkdir -p "$game/Scripts"
  # source in tools/text -> file in the game folder (names on disk differ in letter case from
  # the names that config.ini, the story and the program use, as in games made on Windows)
  for pair in config.ini:config.ini lighthouse.qst:lighthouse.qst music.lst:music.lst \
              Scripts.bsf:Scripts/scripts.bsf Messages.ini:Scripts/Messages.ini \
              Inventory.inv:Scripts/Inventory.inv ReadMe.scr:Scripts/ReadMe.scr; do
    from=${pair%%:*}
    to=${pair#*:}
    iconv -f UTF-8 -t CP1251 "$src/$from" | sed 's/$/\r/' > "$game/$to"
  done
  rm -f "$game/Scripts/inventory.sav" "$game/Scripts/Inventory.sav"
}

# Page pictures are drawn as a 480x253 scene, then widened to 734x253, the aspect of the
# main window's picture box (978x337), which stretches them to fill it: the scene stays
# in the middle and its edge columns carry on to the sides (sky, sea and floor are bands),
# so circles stay round on screen. Item pictures keep their own size.
SCENE=480x253
WIDEN="-virtual-pixel edge -set option:distort:viewport 734x253-127+0 -distort SRT 0 +repage"
scene() { [ "${2:-}" = "-size" ] && [ "${3:-}" = "$SCENE" ] && echo "$WIDEN"; }

# convert with the options that keep files small and the output repeatable.
jpg() { out=$1; shift; convert "$@" $(scene "" "$@") -strip -quality 62 -sampling-factor 2x2 "$out"; }
png() { out=$1; shift; convert "$@" $(scene "" "$@") -strip +dither -colors "${COLORS:-24}" -define png:exclude-chunks=date,time "PNG8:$out"; }
bmp_rle() { out=$1; shift; convert "$@" $(scene "" "$@") -strip +dither -colors "${COLORS:-16}" -type Palette -compress RLE "BMP3:$out"; }
bmp_plain() { out=$1; shift; convert "$@" $(scene "" "$@") -strip +dither -colors "${COLORS:-16}" -type Palette -compress None "BMP3:$out"; }

pictures() {
  img="$game/images"
  mkdir -p "$img"
  S=$SCENE

  # Title: the lighthouse at night, beams over the sea.
  jpg "$img/title.jpg" -size $S gradient:'#0b1030-#2a2250' \
    -fill '#d8d8f0' -draw 'circle 30,20 31,21 circle 82,44 83,45 circle 140,16 141,17 circle 205,52 206,52 circle 250,22 251,23 circle 300,40 301,40 circle 430,18 431,19 circle 455,60 456,60 circle 60,90 61,90 circle 180,95 181,95' \
    -fill '#0d2438' -draw 'rectangle 0,188 480,253' \
    -fill '#1b3a52' -draw 'polygon 0,205 90,196 200,204 320,195 480,202 480,253 0,253' \
    -fill '#111820' -draw 'polygon 250,195 300,171 420,168 470,195' \
    -fill 'rgba(255,230,140,0.30)' -draw 'polygon 368,63 480,28 480,104 368,73' -draw 'polygon 352,63 150,18 150,98 352,73' \
    -fill 'rgba(255,220,120,0.35)' -draw 'circle 360,69 360,88' \
    -fill '#e9e4d8' -draw 'polygon 340,172 352,80 368,80 380,172' \
    -fill '#a8322d' -draw 'polygon 344,140 346,125 374,125 376,140' -draw 'polygon 349,105 351,90 369,90 371,105' \
    -fill '#222222' -draw 'rectangle 345,76 375,80' \
    -fill '#ffd75a' -draw 'rectangle 352,62 368,76' \
    -fill '#3a1d1d' -draw 'polygon 348,62 360,49 372,62'

  # Shore: dusk, the boat leaving, the tower far off on the spit.
  png "$img/shore.png" -size $S gradient:'#3a3f66-#e39a6b' \
    -fill '#34506a' -draw 'rectangle 0,150 480,200' \
    -fill '#2a3f55' -draw 'polygon 330,152 480,138 480,165 340,160' \
    -fill '#f1ece0' -draw 'polygon 404,146 408,98 416,98 420,146' \
    -fill '#2a2a2a' -draw 'rectangle 406,90 418,98' \
    -fill '#1c1c22' -draw 'polygon 80,158 132,158 122,167 88,167' -stroke '#1c1c22' -strokewidth 2 -draw 'line 106,158 106,132' -stroke none \
    -fill '#8a8378' -draw 'polygon 0,190 160,182 300,192 480,186 480,253 0,253' \
    -fill '#6e685e' -draw 'ellipse 60,215 14,6 0,360 ellipse 150,230 18,7 0,360 ellipse 260,212 10,5 0,360 ellipse 380,228 16,6 0,360 ellipse 440,205 9,4 0,360'

  # Door of the tower (an 8-bit BMP with RLE compression).
  bmp_rle "$img/door.bmp" -size $S xc:'#cfc8b8' \
    -stroke '#b0a898' -strokewidth 2 -draw 'line 0,30 480,30 line 0,70 480,70 line 0,110 480,110 line 0,150 480,150 line 0,190 480,190 line 0,230 480,230' \
    -draw 'line 60,30 60,70 line 400,70 400,110 line 110,110 110,150 line 380,150 380,190 line 70,190 70,230' -stroke none \
    -fill '#7a6a50' -draw 'rectangle 196,4 284,22' \
    -fill '#4a3222' -draw 'ellipse 240,70 70,34 180,360' -draw 'rectangle 170,70 310,253' \
    -fill '#6f6f6f' -draw 'rectangle 170,96 310,104 rectangle 170,200 310,208' \
    -fill '#c0a040' -draw 'circle 292,152 298,152' \
    -fill '#f4f0e0' -draw 'polygon 220,116 258,112 261,156 223,159' \
    -stroke '#6a6050' -strokewidth 1 -draw 'line 226,124 252,121 line 226,132 254,129 line 227,140 250,138 line 227,148 246,146' -stroke none \
    -fill '#6d6a60' -draw 'rectangle 0,238 480,253'

  # The keeper's room: stove, table with the lantern, chest, barometer, coat on its hook.
  jpg "$img/hall.jpg" -size $S gradient:'#6a4428-#2a1a10' \
    -fill '#3b2718' -draw 'rectangle 0,205 480,253' \
    -fill '#333333' -draw 'rectangle 62,0 82,110' -fill '#2b2b2b' -draw 'rectangle 30,110 112,222' \
    -fill '#d4621e' -draw 'rectangle 50,168 92,200' -fill '#ffb040' -draw 'rectangle 58,182 84,200' \
    -fill '#4b5a3a' -draw 'polygon 126,58 150,58 164,150 114,150' -fill '#222222' -draw 'circle 138,54 141,54' \
    -fill '#b08a3a' -draw 'circle 226,72 226,104' -fill '#f2ead0' -draw 'circle 226,72 226,96' \
    -stroke '#202020' -strokewidth 2 -draw 'line 226,72 240,58' -stroke none \
    -fill '#7a5230' -draw 'rectangle 190,160 330,170 rectangle 198,170 206,222 rectangle 314,170 322,222' \
    -fill 'rgba(255,220,120,0.35)' -draw 'circle 258,140 258,118' \
    -fill '#e8c35a' -draw 'rectangle 250,132 266,160' -fill '#3a3a3a' -draw 'polygon 248,132 258,122 268,132' \
    -fill '#6b4424' -draw 'rectangle 360,172 452,226' -fill '#8a8a8a' -draw 'rectangle 360,182 452,188 rectangle 400,172 410,226'

  # The open chest: oil can, matches, a coil of wick.
  png "$img/chest.png" -size $S xc:'#2a1d14' \
    -fill '#6b4424' -draw 'polygon 60,62 420,62 400,12 80,12' \
    -fill '#5a3a20' -draw 'rectangle 60,62 420,243' -fill '#2e1e10' -draw 'rectangle 80,80 400,232' \
    -fill '#8a8a8a' -draw 'rectangle 60,62 420,70 rectangle 230,12 250,62' \
    -fill '#7d8790' -draw 'rectangle 112,112 190,222' -draw 'polygon 190,124 224,96 230,102 190,140' \
    -fill '#5a636b' -draw 'rectangle 132,100 170,112' \
    -fill 'none' -stroke '#a8875a' -strokewidth 5 -draw 'circle 330,130 330,100 circle 330,130 330,112' -stroke none \
    -fill '#c9a24a' -draw 'rectangle 252,184 334,216' -fill '#8a2a1a' -draw 'rectangle 270,192 316,208'

  # The spiral staircase seen from below.
  jpg "$img/stairs.jpeg" -size $S xc:'#1e1e26' \
    -fill none -stroke '#5a5a6a' -strokewidth 3 \
    -draw 'ellipse 240,126 230,118 0,360 ellipse 240,126 180,92 0,360 ellipse 240,126 134,68 0,360 ellipse 240,126 92,47 0,360 ellipse 240,126 54,28 0,360' \
    -stroke '#8a8a9a' -strokewidth 2 \
    -draw 'line 240,126 470,126 line 240,126 420,30 line 240,126 300,8 line 240,126 150,10 line 240,126 40,60 line 240,126 14,150 line 240,126 90,240 line 240,126 250,246 line 240,126 410,226' \
    -stroke none -fill '#c8c8d8' -draw 'circle 240,126 240,112'

  # The lamp room: the great lens in its brass frame.
  png "$img/lamp.png" -size $S xc:'#141a24' \
    -fill '#1d2b38' -draw 'rectangle 0,180 480,253' \
    -stroke '#0a0a0a' -strokewidth 6 -draw 'line 80,0 80,253 line 400,0 400,253' -stroke none \
    -fill '#9c7a32' -draw 'circle 240,126 240,16' \
    -fill '#a9c6d0' -draw 'circle 240,126 240,26' \
    -fill none -stroke '#e6f2f5' -strokewidth 3 -draw 'circle 240,126 240,40 circle 240,126 240,56 circle 240,126 240,72 circle 240,126 240,88' -stroke none \
    -fill '#444444' -draw 'circle 240,126 240,108' -fill '#e8c35a' -draw 'rectangle 234,116 246,132'

  # The gallery in the storm; far away, the ship's lights.
  jpg "$img/gallery.jpg" -size $S gradient:'#1a2230-#2d3b4a' \
    -fill '#1d2b38' -draw 'rectangle 0,150 480,253' \
    -fill '#c8d4dc' -draw 'ellipse 60,170 20,3 0,360 ellipse 200,160 26,3 0,360 ellipse 330,176 30,4 0,360 ellipse 430,162 18,3 0,360 ellipse 120,210 34,5 0,360 ellipse 300,226 40,5 0,360' \
    -fill '#ffd060' -draw 'circle 122,147 124,147 circle 132,146 134,146' -fill '#ff5040' -draw 'circle 127,143 128,143' \
    -stroke '#50606e' -strokewidth 1 -draw 'line 20,0 0,40 line 90,10 60,70 line 170,0 140,60 line 260,20 230,80 line 350,0 320,60 line 440,10 410,70 line 470,90 440,150' \
    -stroke '#0b0b0b' -strokewidth 6 -draw 'line 0,196 480,196 line 0,226 480,226' \
    -draw 'line 20,196 20,253 line 100,196 100,253 line 180,196 180,253 line 260,196 260,253 line 340,196 340,253 line 420,196 420,253'

  # A match flaring in the dark.
  COLORS=32 png "$img/match.png" -size $S xc:'#0a0a0c' \
    -fill 'rgba(255,160,60,0.18)' -draw 'circle 243,104 243,30' \
    -fill '#c9a46a' -draw 'polygon 196,243 204,243 244,130 238,128' \
    -fill '#8a2a1a' -draw 'ellipse 241,127 6,8 0,360' \
    -fill '#ff9a1e' -draw 'ellipse 243,100 14,30 0,360' -fill '#ffe27a' -draw 'ellipse 243,108 7,16 0,360'

  # The lamp is lit: the beam sweeps the sea.
  jpg "$img/lit.jpg" -size $S xc:'#0b1224' \
    -fill '#0e1c2c' -draw 'rectangle 0,170 480,253' \
    -fill 'rgba(255,226,130,0.45)' -draw 'polygon 240,64 480,0 480,170 240,76' \
    -fill 'rgba(255,226,130,0.20)' -draw 'polygon 240,64 0,20 0,120 240,76' \
    -fill 'rgba(255,226,130,0.35)' -draw 'ellipse 400,200 70,8 0,360' \
    -fill '#e9e4d8' -draw 'polygon 226,253 234,80 246,80 254,253' \
    -fill '#fff0a0' -draw 'rectangle 232,62 248,78' -fill '#3a1d1d' -draw 'polygon 228,62 240,50 252,62'

  # Dawn: the sun, the calm sea, the ship going away.
  jpg "$img/dawn.jpg" -size $S gradient:'#5d7fae-#f4b870' \
    -fill '#ffd27a' -draw 'circle 240,176 240,140' \
    -fill '#3e5f80' -draw 'rectangle 0,176 480,253' \
    -fill '#f7d08a' -draw 'rectangle 200,186 280,189 rectangle 214,198 266,201 rectangle 226,212 254,214' \
    -fill '#1e2430' -draw 'polygon 330,170 384,170 378,177 336,177 rectangle 350,162 356,170'

  # Darkness: the tower without its light.
  COLORS=16 png "$img/dark.png" -size $S xc:'#050608' \
    -fill '#0b1118' -draw 'rectangle 0,170 480,253' \
    -fill '#2a3440' -draw 'ellipse 90,190 24,3 0,360 ellipse 300,214 30,3 0,360' \
    -fill '#15181d' -draw 'polygon 226,253 234,80 246,80 254,253 polygon 228,62 240,50 252,62 rectangle 232,62 248,78'

  # The boathouse on the beach (an 8-bit BMP with RLE compression).
  bmp_rle "$img/boathouse.bmp" -size $S xc:'#3b4a5a' \
    -fill '#7a7466' -draw 'rectangle 0,228 480,253' \
    -fill '#3a2a1e' -draw 'polygon 80,92 240,30 400,92' \
    -fill '#5b4632' -draw 'rectangle 100,92 380,232' \
    -fill '#1d1510' -draw 'rectangle 206,148 276,232' \
    -stroke '#8a8a70' -strokewidth 1 -draw 'line 110,110 190,200 line 130,110 190,170 line 110,140 160,200 line 190,110 110,200 line 170,110 110,170 line 190,140 140,200' \
    -stroke '#a08060' -strokewidth 4 -draw 'line 300,120 360,220 line 320,116 370,210' -stroke none

  # The inventory window's neutral picture.
  jpg "$img/default.jpg" -size 250x250 gradient:'#2a2a30-#15151a' \
    -fill none -stroke '#6a6470' -strokewidth 3 -draw 'circle 125,125 125,45' -stroke none \
    -fill '#7a7480' -draw 'polygon 125,55 138,112 195,125 138,138 125,195 112,138 55,125 112,112'

  # Item pictures.
  I=128x128
  png "$img/letter.png" -size $I xc:'#1a1a1e' \
    -fill '#efe7d0' -draw 'rectangle 24,18 104,110' \
    -stroke '#8a8070' -strokewidth 2 -draw 'line 34,36 94,36 line 34,50 94,50 line 34,64 90,64 line 34,78 76,78' -stroke none \
    -fill '#a02020' -draw 'circle 84,94 92,94'
  COLORS=8 bmp_plain "$img/note.bmp" -size 64x64 xc:'#1a1a1e' \
    -fill '#f2ecd8' -draw 'polygon 10,8 54,6 56,54 12,58' \
    -stroke '#5a5040' -strokewidth 1 -draw 'line 16,18 48,16 line 16,26 50,24 line 17,34 44,33 line 17,42 40,41' -stroke none
  jpg "$img/lantern.jpg" -size $I xc:'#1a1a1e' \
    -fill none -stroke '#8a8a8a' -strokewidth 3 -draw 'arc 44,10 84,50 180,360' -stroke none \
    -fill '#5a5a5a' -draw 'polygon 40,40 64,26 88,40' -draw 'rectangle 40,100 88,110' \
    -fill '#f3e6a8' -draw 'rectangle 46,40 82,100' -fill '#ff9a1e' -draw 'ellipse 64,76 6,12 0,360' \
    -stroke '#5a5a5a' -strokewidth 3 -draw 'line 46,40 46,100 line 82,40 82,100' -stroke none
  png "$img/coat.png" -size $I xc:'#1a1a1e' \
    -fill '#4b5a3a' -draw 'polygon 40,30 88,30 108,118 20,118' -draw 'ellipse 64,30 18,14 180,360' \
    -fill '#2e3824' -draw 'rectangle 62,40 66,118' -fill '#c0a040' -draw 'circle 56,60 58,60 circle 56,80 58,80 circle 56,100 58,100'
  bmp_rle "$img/matches.bmp" -size 96x96 xc:'#1a1a1e' \
    -fill '#c9a24a' -draw 'rectangle 14,52 82,80' -fill '#8a2a1a' -draw 'rectangle 30,58 66,74' \
    -stroke '#e0c890' -strokewidth 3 -draw 'line 24,46 48,16 line 40,46 60,14 line 56,46 74,18' -stroke none \
    -fill '#a02a1a' -draw 'circle 48,16 51,16 circle 60,14 63,14 circle 74,18 77,18'
  jpg "$img/oilcan.jpg" -size $I xc:'#1a1a1e' \
    -fill '#7d8790' -draw 'rectangle 30,44 90,116' -draw 'polygon 90,56 118,30 122,36 90,70' \
    -fill '#5a636b' -draw 'rectangle 48,32 72,44' \
    -fill none -stroke '#5a636b' -strokewidth 4 -draw 'arc 36,20 84,60 180,360' -stroke none
}

sounds() {
  mus="$game/music"
  sfx="$mus/sfx"
  mkdir -p "$sfx"
  # Music: the sea and the wind as shaped noise in Ogg Vorbis, 8 kHz mono, lowest quality.
  sox -R -n -r 8000 -c 1 -C -1 "$mus/waves.ogg" synth 7 brownnoise gain -6 lowpass 700 tremolo 0.25 80 fade 1.5 7 1.5 gain -n -6
  sox -R -n -r 8000 -c 1 -C -1 "$mus/wind.ogg" synth 7 pinknoise gain -6 bandpass 600 400h tremolo 0.4 60 fade 1.5 7 1.5 gain -n -8
  python3 "$here/make_midi.py" "$mus"
  # Effects: 8-bit WAV at 11025 Hz, Ogg for the longer ones, MIDI for the chime (make_midi.py).
  w="-r 11025 -c 1 -b 8 -e unsigned"
  sox -R -n $w "$sfx/knock.wav" synth 0.09 sine 110 fade 0 0.09 0.08 pad 0 0.12 repeat 2 gain -n -3
  sox -R -n $w "$sfx/pickup.wav" synth 0.25 pluck A5 fade 0 0.25 0.15 gain -n -4
  sox -R -n $w "$sfx/rustle.wav" synth 0.45 brownnoise gain -6 highpass 1500 tremolo 12 90 fade 0.05 0.45 0.2 gain -n -6
  sox -R -n $w "$sfx/crank.wav" synth 0.03 square 300 fade 0 0.03 0.02 pad 0 0.07 repeat 5 gain -n -8
  sox -R -n $w "$sfx/pour.wav" synth 0.9 brownnoise gain -6 bandpass 400 300 tremolo 7 70 fade 0.1 0.9 0.3 gain -n -5
  sox -R -n $w "$sfx/bell.wav" synth 1.3 sine 587 sine 1174 remix 1,2 fade 0 1.3 1.2 gain -n -4
  sox -R -n -r 8000 -c 1 -C -1 "$sfx/horn.ogg" synth 1.8 sawtooth 98 sawtooth 147 remix 1,2 lowpass 500 fade 0.15 1.8 0.5 gain -n -3
  sox -R -n -r 8000 -c 1 -C -1 "$sfx/hiss.ogg" synth 0.6 whitenoise gain -6 highpass 1000 fade 0 0.6 0.5 gain -n -4
}

[ $# -eq 0 ] && set -- texts pictures sounds
for step in "$@"; do
  case $step in
    texts|pictures|sounds) $step ;;
    *) echo "unknown step: $step (texts, pictures or sounds)" >&2; exit 2 ;;
  esac
done
