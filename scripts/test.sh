#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
BUILD=${BUILD_DIR:-build}
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_TESTS=ON -DVELMORA_BUILD_BENCH=ON
cmake --build "$BUILD" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
ctest --test-dir "$BUILD" --output-on-failure -j"$(nproc)" --timeout 600
