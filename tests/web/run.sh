#!/usr/bin/env bash
# The browser tests: Debian's Chromium driven by playwright-core (tests/web/node_modules,
# installed by scripts/install-deps.sh). Exit 77 (skipped) where either is missing.
# Usage: run.sh PLAYER [node --test options]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export VELMORA_PLAYER=$1
shift
if ! command -v chromium >/dev/null || ! command -v node >/dev/null || [ ! -d "$here/node_modules/playwright-core" ]; then
  echo "skipped: chromium, node or playwright-core (scripts/install-deps.sh) is missing"
  exit 77
fi
cd "$here"
exec node --test --test-concurrency=1 "$@" ./*.test.mjs
