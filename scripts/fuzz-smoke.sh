#!/usr/bin/env bash
# Runs every libFuzzer target of the fuzz preset for a short budget, so that a harness that
# aborts at once, or a finding the seeds reach quickly, fails the test command. Each target
# starts from its seeds in a fresh corpus folder; crashes land in the work folder, named.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${FUZZ_BUILD_DIR:-build-fuzz}
SECONDS_EACH=${VELMORA_FUZZ_SECONDS:-15}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
run() {  # name, seed folders and options...
  local name=$1; shift
  mkdir -p "$work/$name"
  echo "fuzz_$name: ${SECONDS_EACH} s"
  if ! "$BUILD/fuzz/$name/fuzz_$name" "$work/$name" "$@" -max_total_time="$SECONDS_EACH" -rss_limit_mb=2048 \
      -artifact_prefix="$work/$name-" -print_final_stats=0 >"$work/$name.log" 2>&1; then
    tail -40 "$work/$name.log"
    echo "fuzz_$name failed"
    status=1
  fi
}
mkdir -p "$work/seeds-pictures" "$work/seeds-script"
bash fuzz/pictures/make_corpus.sh "$work/seeds-pictures" >/dev/null
bash fuzz/script/make_corpus.sh "$work/seeds-script" >/dev/null
run ini fuzz/ini/seeds -max_len=4096
run pictures "$work/seeds-pictures"
run script "$work/seeds-script" -dict=fuzz/script/commands.dict
run inventory tests/e2e/expected -max_len=65536
run replay examples/demo/replays
run save -max_len=65536
# The browser player's .zip import, in Node with the page's own code; needs no build.
if command -v node >/dev/null && [ -f web/node_modules/fflate/umd/index.js ]; then
  echo "fuzz_zip: ${SECONDS_EACH} s"
  node fuzz/zip/fuzz_zip.mjs "$SECONDS_EACH" 1 "$work" || status=1
else
  echo "fuzz_zip: skipped (node or web/node_modules from scripts/install-deps.sh is missing)"
fi
exit $status
