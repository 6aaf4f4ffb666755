#!/usr/bin/env bash
# The windows as a screen reader meets them: the real program under Xvfb on a private
# session bus, its accessible tree read over AT-SPI before and after a choice.
#   atspi_tree.sh PLAYER DUMPER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
player=$1 dumper=$2
for tool in Xvfb dbus-run-session xdotool convert; do
  command -v $tool >/dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done
# Debian's Python, which python3-pyatspi installs into (another python3 may come first).
python=/usr/bin/python3
$python -c 'import pyatspi' 2>/dev/null || { echo "python3-pyatspi is not installed: skipped"; exit 77; }
work=$(mktemp -d)
session=
# The session's helpers (Xvfb, the bus daemons, the accessibility registry) can outlive it;
# they all share the process group of the timeout that started them.
cleanup() {
  [ -n "$session" ] && kill -KILL -- "-$session" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
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

# The windows must reach the X server and its accessibility bridge: no offscreen platform.
# Every step has its own deadline: a call over D-Bus or a focus request that never answers
# must fail the test with what was seen, never hang it.
cat > "$work/run.sh" <<SCRIPT
set -u
cd "$game"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$player" --game "$game" --no-audio >"$work/player.out" 2>&1 &
PID=\$!
WID=
deadline=\$((SECONDS + 20))
while [ \$SECONDS -lt \$deadline ]; do
  WID=\$(timeout 5 xdotool search --onlyvisible --name 'Tree Test' 2>/dev/null | head -1)
  [ -n "\$WID" ] && break
  kill -0 \$PID 2>/dev/null || { echo "the player ended before its window showed" >> "$work/steps.txt"; break; }
  sleep 0.1
done
echo "window: \${WID:-none} at \$SECONDS s" >> "$work/steps.txt"
# The program joins the accessibility bus a while after its window shows, later on a busy machine.
deadline=\$((SECONDS + 40))
[ -n "\$WID" ] || deadline=0
while [ \$SECONDS -lt \$deadline ]; do
  timeout 15 $python "$dumper" velmora-player > "$work/before.txt" 2>&1
  grep -q 'list item' "$work/before.txt" && break
  sleep 0.5
done
echo "before: \$(wc -l < "$work/before.txt") lines at \$SECONDS s" >> "$work/steps.txt"
if [ -n "\$WID" ]; then
  timeout 10 xdotool windowfocus --sync "\$WID" 2>/dev/null || echo "focus request unanswered" >> "$work/steps.txt"
  timeout 10 xdotool key --window "\$WID" Down Return 2>/dev/null || true
fi
deadline=\$((SECONDS + 20))
[ -n "\$WID" ] || deadline=0
while [ \$SECONDS -lt \$deadline ]; do
  sleep 0.5
  timeout 15 $python "$dumper" velmora-player > "$work/after.txt" 2>&1
  grep -q 'Stay' "$work/after.txt" && break
done
echo "after: \$(wc -l < "$work/after.txt") lines at \$SECONDS s" >> "$work/steps.txt"
kill \$PID 2>/dev/null
for i in \$(seq 50); do kill -0 \$PID 2>/dev/null || break; sleep 0.1; done
kill -9 \$PID 2>/dev/null
wait \$PID 2>/dev/null
exit 0
SCRIPT
: > "$work/before.txt"; : > "$work/after.txt"; : > "$work/steps.txt"
# The whole session stays well inside the test's own time limit. Its output goes to a file:
# a helper left running must not hold the test's output open (the test would wait on it).
env -u QT_QPA_PLATFORM timeout -k 5 90 "$here/with_xvfb.sh" 1280x1024x24 \
  dbus-run-session -- bash "$work/run.sh" >"$work/session.txt" 2>&1 </dev/null &
session=$!
wait $session || echo "the session ended with status $? (124: not within 90 s)" >> "$work/steps.txt"
kill -KILL -- "-$session" 2>/dev/null || true

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
  echo "--- steps"; cat "$work/steps.txt"; echo "--- session"; tail -n 40 "$work/session.txt"; echo "--- before"; cat "$work/before.txt"; echo "--- after"; cat "$work/after.txt"; echo "--- player"; cat "$work/player.out"
fi
exit $status
