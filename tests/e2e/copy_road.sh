#!/usr/bin/env bash
# Playing the demo as scripts/play.sh does (--copy) and from a read-only folder never
# changes a tracked file of the checkout: the demo goes into a git work tree, is played
# to an ending both ways, and `git status` must stay clean, with no LastStart.log left
# in the directory the player was started from.
# Usage: copy_road.sh PLAYER DEMO_DIR
set -euo pipefail
player=$1 demo=$2
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
fail() { echo "FAIL: $*"; exit 1; }

for road in copy read-only; do
  src="$work/$road/demo"
  mkdir -p "$work/$road" "$work/start-$road"
  cp -R "$demo" "$src"
  git -C "$src" init -q
  git -C "$src" add -A
  git -C "$src" -c user.name=t -c user.email=t@t commit -qm demo
  args=(--game "$src" --replay "$src/replays/ending-dawn.replay")
  if [ $road = copy ]; then args=(--copy "${args[@]}"); else chmod -R a-w "$src"; fi
  (cd "$work/start-$road" && "$player" "${args[@]}" > "$work/$road.out" 2>&1) || fail "$road: the player failed: $(tail -5 "$work/$road.out")"
  [ -z "$(git -C "$src" status --porcelain --ignored)" ] || fail "$road: the source changed: $(git -C "$src" status --porcelain --ignored)"
  [ -z "$(ls -A "$work/start-$road")" ] || fail "$road: files left where the player started: $(ls -A "$work/start-$road")"
  grep -q "made now in $XDG_DATA_HOME/velmora-player/games/demo-" "$work/$road.out" || fail "$road: the copy was not announced: $(cat "$work/$road.out")"
  grep -q "^> quit" "$work/$road.out" || fail "$road: the replay did not run to its end"
done
# Each source has its own copy, holding the run's log and the saved page.
copies=("$XDG_DATA_HOME"/velmora-player/games/demo-*)
[ ${#copies[@]} -eq 2 ] || fail "expected two copies: ${copies[*]}"
for c in "${copies[@]}"; do
  [ -f "$c/LastStart.log" ] || fail "no LastStart.log in $c"
  grep -q '^\[GameLoad\]' "$c/config.ini" || fail "no saved page in $c/config.ini"
done
# The second play goes on in the same copy and says nothing of it.
(cd "$work/start-copy" && "$player" --copy --game "$work/copy/demo" --replay "$work/copy/demo/replays/continue.replay" > "$work/again.out" 2>&1)
! grep -q "copy" "$work/again.out" || fail "the second play announced a copy again"
[ -z "$(git -C "$work/copy/demo" status --porcelain --ignored)" ] || fail "the second play changed the source"
echo "ok"
