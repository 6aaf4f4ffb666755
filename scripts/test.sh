#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test; then builds the asan
# preset and runs the whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer
# (leak reports suppressed only inside fontconfig, D-Bus, Graphviz and the speech and accessibility
# services' client libraries: tests/lsan.supp); last, builds the fuzz targets (clang) and
# runs each for a short budget (VELMORA_SKIP_FUZZ=1 skips that).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
BUILD=${BUILD_DIR:-build}
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_TESTS=ON -DVELMORA_BUILD_BENCH=ON
cmake --build "$BUILD" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
ctest --test-dir "$BUILD" --output-on-failure -j"$(nproc)" --timeout 600

if [ "${VELMORA_SKIP_SANITIZERS:-0}" != 1 ]; then
  cmake --preset asan
  cmake --build --preset asan -j"$(nproc)"
  ctest --preset asan -j"$(nproc)" --timeout 600
fi

if [ "${VELMORA_SKIP_FUZZ:-0}" != 1 ]; then
  cmake --preset fuzz
  cmake --build --preset fuzz -j"$(nproc)" --target fuzz_ini fuzz_pictures fuzz_script fuzz_inventory fuzz_replay fuzz_save
  VELMORA_FUZZ_SECONDS=${VELMORA_FUZZ_SECONDS:-10} bash scripts/fuzz-smoke.sh
fi
