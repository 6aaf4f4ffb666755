#!/usr/bin/env bash
# Installs what is missing, builds the player (Release) and plays a game folder:
# the demo game unless --game DIR is given. Windows when a display is available,
# otherwise the terminal player. The game is played from the user's own copy (--copy),
# so playing never changes a file of the checkout.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target velmora-player
ARGS=("$@")
has_game=0
for a in "${ARGS[@]}"; do [ "$a" = "--game" ] && has_game=1; done
[ $has_game -eq 0 ] && ARGS=(--game "$ROOT/examples/demo" "${ARGS[@]}")
ARGS=(--copy "${ARGS[@]}")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  ARGS=(--text "${ARGS[@]}")
fi
exec "$ROOT/build/src/app/velmora-player" "${ARGS[@]}"
