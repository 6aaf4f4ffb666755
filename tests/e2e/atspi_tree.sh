#!/usr/bin/env bash
# The windows as a screen reader meets them: the real program under Xvfb on a private
# session bus, its accessible tree read over AT-SPI before and after a choice.
#   atspi_tree.sh PLAYER DUMPER
set -euo pipefail
player=$1 dumper=$2
for tool in xvfb-run dbus-run-session xdotool convert; do
  command -v $tool >/dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done
# Debian's Python, which python3-pyatspi installs into (another python3 may come first).
python=/usr/bin/python3
$python -c 'import pyatspi' 2>/dev/null || { echo "python3-pyatspi is not installed: skipped"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
game=$work/game
mkdir -p "$game/Scripts" "$game/Images" "$work/config" "$work/data"
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
convert -size 32x16 xc:gray "$game/Images/hall.png"
printf '[GameForm]\nCaption=Tree Test\n' > "$game/config.ini"
: > "$game/music.lst"
printf '[Messages]\n' > "$game/Scripts/messages.ini"
printf '___script to_yard $goto yard ___end\n' > "$game/Scripts/Scripts.bsf"
cat > "$game/story.qst" <<'STORY'
[gamestart]
textsize=1
Line0=You stand in the hall.
QuestPicture=hall.png
ActionsCount=2
Action0.Script=to_yard
Action0.LinesCount=1
Action0.Line0=To the yard
Action1.Script=to_yard
Action1.LinesCount=1
Action1.Line0=Out of the door
[yard]
textsize=1
Line0=The yard is empty.
ActionsCount=1
Action0.Script=to_yard
Action0.LinesCount=1
Action0.Line0=Stay
STORY

cat > "$work/run.sh" <<SCRIPT
set -u
cd "$game"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$player" --game "$game" --no-audio >"$work/player.out" 2>&1 &
PID=\$!
WID=
for i in \$(seq 100); do
  WID=\$(xdotool search --onlyvisible --name 'Tree Test' 2>/dev/null | head -1)
  [ -n "\$WID" ] && break
  sleep 0.1
done
# The program joins the accessibility bus a while after its window shows, later on a busy machine.
for i in \$(seq 40); do
  $python "$dumper" velmora-player > "$work/before.txt" 2>&1
  grep -q 'list item' "$work/before.txt" && break
  sleep 0.5
done
xdotool windowfocus --sync "\$WID" key --window "\$WID" Down Return 2>/dev/null || true
for i in \$(seq 20); do
  sleep 0.5
  $python "$dumper" velmora-player > "$work/after.txt" 2>&1
  grep -q 'Stay' "$work/after.txt" && break
done
kill \$PID 2>/dev/null
wait \$PID 2>/dev/null
exit 0
SCRIPT
xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- bash "$work/run.sh"

status=0
expect() {  # FILE PATTERN WHAT
  if ! grep -Eq -- "$2" "$work/$1"; then
    echo "missing in $1: $3 ($2)"
    status=1
  fi
}
expect before.txt '^  frame "Tree Test"' "the main window is a frame named by its caption"
expect before.txt 'text "Story text"' "the story text"
expect before.txt 'You stand in the hall' "the story text's content"
expect before.txt '(image|label) "Tree Test" \[hall.png\]' "the picture named by the caption, its file as description"
expect before.txt 'list "Choices"' "the choices are a list"
expect before.txt 'list item "To the yard" \[1 of 2\]' "a choice carries its text and place"
expect before.txt 'list item "Out of the door" \[2 of 2\]' "the second choice"
expect after.txt 'list item "Stay" \[1 of 1\]' "the new page's choices"
expect after.txt 'list "Choices".* focused|list item "Stay".* focused' "the focus is on the new page's list"
if [ $status -ne 0 ]; then
  echo "--- before"; cat "$work/before.txt"; echo "--- after"; cat "$work/after.txt"; echo "--- player"; cat "$work/player.out"
fi
exit $status
