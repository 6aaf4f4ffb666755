#!/bin/sh
# Seeds a corpus folder (first argument) from the test pictures: the kind's byte, then the file.
set -e
out=${1:-corpus}
mkdir -p "$out"
src=$(dirname "$0")/../../tests/fixtures/pictures
seed() { { printf "\\$(printf %03o "$1")"; cat "$src/$2"; } > "$out/$2"; }
seed 0 red.jpg; seed 0 gray.jpg; seed 0 cmyk.jpg
seed 1 quad.png; seed 2 quad.bmp; seed 3 icon.ico; seed 4 rect.wmf; seed 5 rect.emf
