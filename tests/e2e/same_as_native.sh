#!/usr/bin/env bash
# Plays replays with the native program and again with another build of the player, each
# on a fresh copy of the game, and requires the same transcript, logs and files, byte for
# byte (run_demo.sh compares them).
# Usage: same_as_native.sh NATIVE FIRST LATER GAME_DIR NAME REPLAY...
# FIRST plays the first replay and LATER the rest: the same program for a whole run, or
# two builds for a save made by one and loaded by the other.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
native=$1 first=$2 later=$3 game=$4 name=$5
shift 5
for p in "$native" "$first" "$later"; do
  [ -x "$p" ] || { echo "no player at $p: skipped"; exit 77; }
done
reference=$(mktemp -d)
trap 'rm -rf "$reference"' EXIT
"$here/run_demo.sh" "$native" "$game" "$reference" "$name" "$@" --update
LATER_PLAYER=$later "$here/run_demo.sh" "$first" "$game" "$reference" "$name" "$@"
