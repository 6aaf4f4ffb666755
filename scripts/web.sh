#!/usr/bin/env bash
# Builds the browser player, publishes a game with it (the demo unless --game DIR) and
# serves the site on http://127.0.0.1:PORT/ (PORT: 8000 unless set). Ctrl+C stops it.
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
"$BUILD/src/app/velmora-player" --export-web "$game" "$site"
port=${PORT:-8000}
echo "Open http://127.0.0.1:$port/ in a browser."
cd "$site" && exec python3 -m http.server --bind 127.0.0.1 "$port"
