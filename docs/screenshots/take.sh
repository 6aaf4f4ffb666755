#!/bin/sh
# Retakes the README's screenshots: the demo game under Xvfb, driven with xdotool, after a
# new night has begun (so the name the player typed shows where the game uses it); then
# the game library, and the main window drawn smaller to fit a 1024 by 600 screen.
#   docs/screenshots/take.sh [path/to/velmora-player]
# Needs xvfb-run, xdotool and imagemagick's import (scripts/install-deps.sh installs them).
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
player="$(realpath "${1:-$root/build/src/app/velmora-player}")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
game="$work/game"
mkdir -p "$game" "$work/config/velmora-player" "$work/data"
cp -R "$root/examples/demo/." "$game/"
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"

# Choice k of the list, 16 pixels a line below the frame, title bar, picture and story text.
cat > "$work/game.sh" <<INSIDE
cd "$game"
"$player" --game "$game" --no-audio >/dev/null 2>&1 &
pid=\$!
sleep 3
main=\$(xdotool search --onlyvisible --name "Маяк" | head -1)
xdotool mousemove --window \$main 80 584 click --repeat 2 --delay 80 1   # a new night
sleep 1
xdotool type --delay 40 Nika; xdotool key Return                         # the keeper's name
sleep 1.5
xdotool mousemove --window \$main 80 600 click 1                          # highlight the second choice
sleep 0.5
import -window \$main "$here/main-window.png"
xdotool mousemove --window \$main 830 15 click 1                          # Audio...
sleep 0.7
import -window \$(xdotool search --onlyvisible --name "Audio options" | head -1) "$here/audio-options.png"
xdotool mousemove --window \$main 900 15 click 1                          # Инвентарь
sleep 0.7
inventory=\$(xdotool search --onlyvisible --name "Инвентарь" | head -1)
xdotool mousemove --window \$inventory 40 8 click 1                       # the first item
sleep 0.7
import -window \$inventory "$here/inventory.png"
kill \$pid
wait \$pid || true
INSIDE
env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1280x1024x24" sh "$work/game.sh"

# The library, with the two example games.
cat > "$work/config/velmora-player/library.ini" <<INI
[Library]
Count=2
[Game0]
Folder=$root/examples/demo/
LastPlayed=$(date +%s)
[Game1]
Folder=$root/examples/utf8-mini/
LastPlayed=0
INI
# One picture: the program started with ARGS on a screen of SIZE, the window named NAME
# (or the whole screen) saved to OUT.    shoot SIZE NAME OUT ARGS...
shoot() {
  size=$1 name=$2 out=$3
  shift 3
  cat > "$work/shoot.sh" <<INSIDE
cd "$game"
"$player" $* --no-audio >/dev/null 2>&1 &
pid=\$!
sleep 3
if [ "$name" = root ]; then window=root; else window=\$(xdotool search --onlyvisible --name "$name" | head -1); fi
import -window \$window "$out"
kill \$pid
wait \$pid || true
INSIDE
  env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 ${size}x24" sh "$work/shoot.sh"
}
shoot 1280x1024 "game library" "$here/library.png" --library
# A screen smaller than the window: the whole window, drawn at the scale that fits.
shoot 1024x600 root "$here/small-screen.png" --game "$game"
