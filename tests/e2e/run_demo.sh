#!/usr/bin/env bash
# Plays a game from the start with replay files (in order, on one copy of the game
# folder, with the player's own folders in a fresh place) and compares what the player
# leaves behind with the expected files, byte for byte: the transcript, LastStart.log
# after each replay (dates masked), config.ini, Scripts/inventory.sav (where the game
# writes one) and the story file's SHA-256.
# Usage: run_demo.sh PLAYER GAME_DIR EXPECTED_DIR NAME REPLAY... [--update]
# With LATER_PLAYER set, the replays after the first are played by that program instead
# (another build of the player, say, going on from what the first one saved).
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
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
cd "$work/game"
: > "$work/transcript"
for r in "${replays[@]}"; do
  "$player" --replay "$r" --game "$work/game" >> "$work/transcript" 2>&1
  player=${LATER_PLAYER:-$player}
  sed -E -e 's/^[0-9]{4}-[0-9]{2}-[0-9]{2} \| [0-9]{2}:[0-9]{2}:[0-9]{2}/DATE | TIME/' -e "s#$work/game#GAME#g" \
    LastStart.log > "$work/log.$(basename "$r" .replay)"
done
sha256sum -- *.qst > "$work/story.sha256"
status=0
compare() {  # actual expected-name
  local want="$expected/$name.$2"
  [ -e "$1" ] || [ -e "$want" ] || return 0  # neither written nor expected
  if [ $update -eq 1 ]; then cp "$1" "$want"; return; fi
  if ! cmp -s "$want" "$1"; then
    echo "MISMATCH: $name.$2"; diff -u "$want" "$1" | head -60; status=1
  fi
}
sed -i "s#$work/game#GAME#g" "$work/transcript"
compare "$work/transcript" transcript
for r in "${replays[@]}"; do compare "$work/log.$(basename "$r" .replay)" "$(basename "$r" .replay).log"; done
compare config.ini config.ini
compare Scripts/inventory.sav inventory.sav
compare "$work/story.sha256" story.sha256
exit $status
