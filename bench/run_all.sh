#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs every one that has a row in the README's
# Performance table, each with its yardstick in the same run.
# Usage: bench/run_all.sh [BUILD_DIR]   (default: build-bench)
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$src/build-bench}
cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_BENCH=ON > /dev/null
cmake --build "$build" -j"$(nproc)" > /dev/null

echo "== Pictures: page turn to a 4000x3000 picture against a full-size decode (CPU time, medians of 5)"
"$build/bench/pictures/pictures_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_color=false
echo
echo "== Start-up to the first painted page, and peak memory with a 12-megapixel picture"
"$src/bench/startup/run.sh" "$build" 15
echo
echo "== Script engine against Lua 5.4 embedded in the same program (CPU time per iteration)"
"$build/bench/script/script_bench" --benchmark_color=false
echo
echo "== Page text with a line break in a variable's name"
"$build/bench/story/story_bench" --benchmark_filter='LoadPage100k' --benchmark_color=false
echo
echo "== Saved games: saving the demo, saving with a changed 10 MB story file against one write of it, going back, the memory of 100 steps back"
"$build/bench/save/save_bench" --benchmark_color=false
echo
echo "== Peak memory and time of saving and loading with 50 and 100 MB story files, against one read and one copy of the file"
"$build/bench/save/save_memory_bench"
echo
echo "== Story map of a generated 2,000-page story: DOT, and the SVG layout, against reading the story and dot's own layout"
"$build/bench/tools/map_bench" --benchmark_color=false
echo
echo "== Live reload of a 10 MB story file against a first read of it"
"$build/bench/run/reload_bench" --benchmark_color=false
echo
echo "== The browser player: first page, bytes before it, page turn, a 4000x3000 JPEG page, the script engine under WebAssembly"
if command -v chromium >/dev/null && [ -d "$src/tests/web/node_modules/playwright-core" ] && [ -f "$build/web/site/velmora.wasm" ]; then
  node "$src/bench/web/bench.mjs" "$build/src/app/velmora-player" "$build/bench/script/script_bench"
else
  echo "skipped: Chromium, playwright-core (scripts/install-deps.sh) or the web runtime (Emscripten) is missing"
fi
