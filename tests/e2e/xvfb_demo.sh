#!/usr/bin/env bash
# The real windowed program plays the demo under Xvfb, driven by xdotool as a player
# would: it opens the "about" message, starts a new night, types a name into the input
# dialog and lets the cutscene move on. Screenshots of each step are kept in ARTIFACTS.
# Usage: xvfb_demo.sh PLAYER DEMO_DIR ARTIFACTS
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
player=$1 demo=$2 artifacts=$3
for tool in Xvfb xdotool import; do
  command -v $tool >/dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done
mkdir -p "$artifacts"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -R "$demo" "$work/game"
rm -rf "$work/game/tools" "$work/game/replays"
cat > "$work/run.sh" <<SCRIPT
set -u
cd "$work/game"
"$player" --game "$work/game" --no-audio &
PID=\$!
WID=
for i in \$(seq 50); do
  WID=\$(xdotool search --onlyvisible --pid \$PID 2>/dev/null | head -1)
  [ -n "\$WID" ] && break
  sleep 0.2
done
[ -n "\$WID" ] || { kill \$PID; exit 3; }
sleep 0.8
shot() { import -window root "$artifacts/demo-\$1.png"; }
# Choice items are 16 pixels a line below the frame, title bar, picture and story text.
item() { xdotool mousemove --window \$WID 80 \$((576 + 16 * (\$1 - 1) + 8)) click --repeat 2 --delay 80 1; }
shot 1-start
item 3; sleep 0.8; shot 2-about-message; xdotool key Return; sleep 0.4
item 1; sleep 0.8; shot 3-name-prompt
xdotool type --delay 40 Nika; xdotool key Return; sleep 0.8; shot 4-arrival
sleep 5.5; shot 5-door
# The close box at the right end of the title bar ends the game through its shutdown.
xdotool mousemove --window \$WID 965 15 click 1
for i in \$(seq 25); do kill -0 \$PID 2>/dev/null || break; sleep 0.2; done
kill \$PID 2>/dev/null && exit 4
wait \$PID
SCRIPT
env -u QT_QPA_PLATFORM timeout 90 "$here/with_xvfb.sh" 1280x1024x24 sh "$work/run.sh" > "$work/run.out" 2>&1 || {
  cat "$work/run.out"; exit 1; }
for s in 1-start 2-about-message 3-name-prompt 4-arrival 5-door; do
  [ -s "$artifacts/demo-$s.png" ] || { echo "no screenshot $s"; exit 1; }
done
# The log and the saved page show where the clicks led.
log="$work/game/LastStart.log"
for page in GameStart arrival door; do
  grep -qi "Loading Page: $page" "$log" || { echo "page $page was not loaded"; cat "$log"; exit 1; }
done
tr -d '\r' < "$work/game/config.ini" | grep -qix "Page=door" || { echo "saved page is not door"; exit 1; }
echo "screenshots in $artifacts"
