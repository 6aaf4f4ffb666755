#!/usr/bin/env bash
# Builds the browser player and serves it on http://127.0.0.1:PORT/ (PORT: 8000 unless
# set): the player page at the root (open a folder or a .zip, the library of games kept
# in the browser), and a game published with it under /demo/ (the demo unless --game
# DIR). Ctrl+C stops it.
set -euo pipefail
cd "$(dirname "$0")/.."
game=examples/demo
[ "${1:-}" = "--game" ] && game=$2
bash scripts/install-deps.sh
BUILD=${BUILD_DIR:-build}
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release
cmake --build "$BUILD" -j"$(nproc)" --target velmora-player
site="$BUILD/web-site"
rm -rf "$site"
cp -R "$BUILD/web/site" "$site"
# The soundfont MIDI plays with in games opened on the player page (an exported site has its own).
cp /usr/share/sounds/sf2/TimGM6mb.sf2 "$site/soundfont.sf2" 2>/dev/null || echo "no TimGM6mb soundfont: MIDI plays silent on the player page"
"$BUILD/src/app/velmora-player" --export-web "$game" "$site/demo"
port=${PORT:-8000}
echo "The player page: http://127.0.0.1:$port/   the game: http://127.0.0.1:$port/demo/"
cd "$site" && exec python3 -m http.server --bind 127.0.0.1 "$port"
