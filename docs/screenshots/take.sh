#!/bin/sh
# Retakes the README's screenshots: the demo game under Xvfb, driven with xdotool.
#   docs/screenshots/take.sh [path/to/velmora-player]
# Needs xvfb-run, xdotool and imagemagick's import (scripts/install-deps.sh installs them).
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
player="$(realpath "${1:-$root/build/src/app/velmora-player}")"
game="$(mktemp -d)"
trap 'rm -rf "$game"' EXIT
cp -R "$root/examples/demo/." "$game/"

cat > "$game/take-inside.sh" <<INSIDE
cd "$game"
"$player" --game "$game" --no-audio >/dev/null 2>&1 &
pid=\$!
sleep 3
main=\$(xdotool search --onlyvisible --name "Маяк" | head -1)
xdotool mousemove --window \$main 60 600 click 1          # select the second choice
sleep 0.5
import -window \$main "$here/main-window.png"
xdotool mousemove --window \$main 815 15 click 1          # Audio...
sleep 0.7
import -window \$(xdotool search --onlyvisible --name "Audio options" | head -1) "$here/audio-options.png"
xdotool mousemove --window \$main 900 15 click 1          # Инвентарь
sleep 0.7
inventory=\$(xdotool search --onlyvisible --name "Инвентарь" | head -1)
xdotool mousemove --window \$inventory 40 8 click 1       # the first item
sleep 0.7
import -window \$inventory "$here/inventory.png"
kill \$pid
wait \$pid || true
INSIDE
env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1280x1024x24" sh "$game/take-inside.sh"
