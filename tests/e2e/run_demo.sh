#!/usr/bin/env bash
# Plays the demo game from the start with replay files (in order, on one copy of the
# game folder) and compares what the player leaves behind with the expected files:
# the transcript, LastStart.log (dates masked), config.ini and Scripts/inventory.sav.
# Usage: run_demo.sh PLAYER DEMO_DIR EXPECTED_DIR NAME REPLAY... [--update]
set -euo pipefail
player=$1 demo=$2 expected=$3 name=$4
shift 4
update=0
replays=()
for a in "$@"; do
  if [ "$a" = "--update" ]; then update=1; else replays+=("$a"); fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -R "$demo" "$work/game"
rm -rf "$work/game/tools" "$work/game/replays"
cd "$work/game"
: > "$work/transcript"
for r in "${replays[@]}"; do
  "$player" --replay "$r" --game "$work/game" >> "$work/transcript" 2>&1
  sed -E -e 's/^[0-9]{4}-[0-9]{2}-[0-9]{2} \| [0-9]{2}:[0-9]{2}:[0-9]{2}/DATE | TIME/' -e "s#$work/game#GAME#g" \
    LastStart.log > "$work/log.$(basename "$r" .replay)"
done
status=0
compare() {  # actual expected-name
  local want="$expected/$name.$2"
  if [ $update -eq 1 ]; then cp "$1" "$want"; return; fi
  if ! diff -u --strip-trailing-cr "$want" "$1" > "$work/diff"; then
    echo "MISMATCH: $name.$2"; head -60 "$work/diff"; status=1
  fi
}
sed -i "s#$work/game#GAME#g" "$work/transcript"
compare "$work/transcript" transcript
for r in "${replays[@]}"; do compare "$work/log.$(basename "$r" .replay)" "$(basename "$r" .replay).log"; done
compare config.ini config.ini
compare Scripts/inventory.sav inventory.sav
exit $status
