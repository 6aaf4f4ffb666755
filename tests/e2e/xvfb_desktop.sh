#!/usr/bin/env bash
# The real windowed program on an X server with a window manager (openbox), as a player
# meets it: the manager activates and stacks the windows, which a bare X server does not,
# and so shows focus and stacking faults. One case a run:
#   xvfb_desktop.sh PLAYER CASE
# Cases: first-down-enter, click-then-enter, double-click, inventory-escape,
#        fits-1024x600, scale-factor-2, saved-position-off-screen,
#        open-with (the folder entry's command from the home folder), not-a-game,
#        shift-f10-library (the title bar's menu by keys, then "Game library..."),
#        sigterm-save-window (SIGTERM while the Save window is open),
#        continue (closed, then started again with --continue),
#        stop-signals (SIGTERM, SIGHUP, SIGINT with the library, its file dialog or a game
#        played from it open: each run ends within 3 s through its own end).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
player=$1 case=$2
for tool in Xvfb openbox xdotool wmctrl xwininfo xprop convert; do
  command -v $tool >/dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
game=$work/game
mkdir -p "$game/Scripts" "$game/Images" "$work/config" "$work/data" "$work/home" "$work/empty"
convert -size 16x16 xc:gray "$game/Images/default.jpg"  # the inventory's neutral picture
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data

screen=1280x1024 left=0 top=0 scale=
# Where the player starts, how, the window to wait for and the exit status to expect.
start_dir=$game args="--game $game --no-audio" title='Desk Test' status=0
case $case in
  fits-1024x600) screen=1024x600 left=240 top=30 ;;
  scale-factor-2) scale=2 left=240 top=30 ;;
  saved-position-off-screen) left=5000 top=-3000 ;;
  open-with) start_dir=$work/home args="--in-game-folder --game $game --no-audio" ;;
  not-a-game) start_dir=$work/home args="--game $work/empty" title='not a game' status=2 ;;
  stop-signals) args="--library --no-audio" title='game library' ;;
esac
# Three choices, each to a page that ends the game by itself; the log shows which.
cat > "$game/config.ini" <<INI
[GameForm]
Caption=Desk Test
Left=$left
Top=$top
Width=980
Height=720
INI
: > "$game/music.lst"
printf '[Messages]\n' > "$game/Scripts/messages.ini"
printf '___script to_one $goto one ___end\n___script to_two $goto two ___end\n___script to_three $goto three ___end\n' \
  > "$game/Scripts/Scripts.bsf"
printf '[Inventory]\nTotalItems=1\n[Item0]\nName=key\nDisplayName=Key\nCount=1\nEnabled=1\n' > "$game/Scripts/inventory.inv"
{
  printf '[gamestart]\ntextsize=1\nLine0=Three doors.\nActionsCount=3\n'
  for k in 0 1 2; do
    names=(one two three)
    printf 'Action%d.Script=to_%s\nAction%d.LinesCount=1\nAction%d.Line0=Door %s\n' $k ${names[$k]} $k $k ${names[$k]}
  done
  for page in one two three; do
    printf '[%s]\ntextsize=1\nLine0=Behind door %s.\nPage.Cutscene=1\nPage.Delay=400\nPage.Action=$exit\n' $page $page
  done
} > "$game/story.qst"

cat > "$work/run.sh" <<SCRIPT
set -u
openbox >/dev/null 2>&1 &
sleep 0.5
# The first visible window whose name matches, within 5 s; nothing when none shows.
find_window() {
  for i in \$(seq 25); do
    W=\$(xdotool search --onlyvisible --name "\$1" 2>/dev/null | head -1)
    [ -n "\$W" ] && { echo \$W; return; }
    sleep 0.2
  done
}
cd "$start_dir"
${scale:+QT_SCALE_FACTOR=$scale} "$player" $args >"$work/player.out" 2>&1 &
PID=\$!
WID=
for i in \$(seq 50); do
  WID=\$(xdotool search --onlyvisible --name '$title' 2>/dev/null | head -1)
  [ -n "\$WID" ] && break
  sleep 0.2
done
[ -n "\$WID" ] || { echo "no window"; kill \$PID; exit 3; }
sleep 0.8
xdotool windowactivate --sync \$WID
. "$work/case.sh"
# Cases that choose end the game through their page; the others close the window.
for i in \$(seq 25); do kill -0 \$PID 2>/dev/null || break; sleep 0.2; done
kill -0 \$PID 2>/dev/null && wmctrl -i -c \$WID
for i in \$(seq 25); do kill -0 \$PID 2>/dev/null || break; sleep 0.2; done
kill \$PID 2>/dev/null && { echo "the program did not end"; exit 4; }
wait \$PID
echo \$? > "$work/status"
SCRIPT

# The choice list starts 576 units down (frame, title bar, picture, story text); a
# choice is 16 units high. At scale 1 units are pixels.
item_y() { echo $((576 + 16 * ($1 - 1) + 8)); }
# Checks that the main window lies wholly inside the screen, in device pixels.
inside() {
  cat <<CHECK
read X Y W H <<XY
\$(xwininfo -id \$WID | awk '/Absolute upper-left X/{x=\$NF} /Absolute upper-left Y/{y=\$NF} /Width:/{w=\$NF} /Height:/{h=\$NF} END{print x, y, w, h}')
XY
echo "window \$X,\$Y \${W}x\$H on $1" >> "$work/notes"
[ \$X -ge 0 ] && [ \$Y -ge 0 ] && [ \$((X + W)) -le ${1%x*} ] && [ \$((Y + H)) -le ${1#*x} ] || echo "outside the screen" >> "$work/faults"
CHECK
}
expect_page=
case $case in
  first-down-enter|open-with)
    echo 'xdotool key Down Return' > "$work/case.sh"; expect_page=one ;;
  not-a-game)
    echo 'xdotool key Return' > "$work/case.sh" ;;
  sigterm-save-window)
    cat > "$work/case.sh" <<'CASE'
xdotool key ctrl+s
[ -n "$(find_window "Save game")" ] || echo "the Save window did not open" >> FAULTS
kill -TERM $PID
for i in $(seq 15); do kill -0 $PID 2>/dev/null || break; sleep 0.2; done
kill -0 $PID 2>/dev/null && echo "still running 3 s after SIGTERM" >> FAULTS
true
CASE
    sed -i "s|FAULTS|$work/faults|g" "$work/case.sh" ;;
  stop-signals)
    mkdir -p "$work/config/velmora-player"
    printf '[Library]\nCount=1\n[Game0]\nFolder="%s/"\nCaption="Desk Test"\nLastPlayed=0\n' "$game" \
      > "$work/config/velmora-player/library.ini"
    # What is open when the signal comes, and the signal; the first run is started above.
    cat > "$work/case.sh" <<CASE
first=1
for row in "library TERM" "file-dialog HUP" "file-dialog INT" "game TERM" "game INT"; do
  set -- \$row
  if [ \$first = 0 ]; then
    "$player" $args >>"$work/player.out" 2>&1 &
    PID=\$!
    WID=\$(find_window 'game library')
    [ -n "\$WID" ] || { echo "\$row: the library did not open" >> "$work/faults"; kill \$PID; continue; }
    sleep 0.5
    xdotool windowactivate --sync \$WID
  fi
  first=0
  case \$1 in
    file-dialog) xdotool key alt+a; [ -n "\$(find_window 'Add a game folder')" ] || echo "\$row: no file dialog" >> "$work/faults" ;;
    game) xdotool key Return; [ -n "\$(find_window 'Desk Test')" ] || echo "\$row: the game did not open" >> "$work/faults" ;;
  esac
  sleep 0.3
  kill -\$2 \$PID
  for i in \$(seq 15); do kill -0 \$PID 2>/dev/null || break; sleep 0.2; done
  if kill -0 \$PID 2>/dev/null; then
    echo "\$row: still running 3 s after the signal" >> "$work/faults"
    kill -KILL \$PID
  fi
  wait \$PID
  code=\$?
  [ \$code = 0 ] || echo "\$row: exit status \$code, not the end through the shutdown" >> "$work/faults"
done
# Each run's status is checked above; what is waited for below is a stand-in.
(exit 0) &
PID=\$!
CASE
    ;;
  continue)
    cat > "$work/case.sh" <<CASE
wmctrl -i -c \$WID
for i in \$(seq 25); do kill -0 \$PID 2>/dev/null || break; sleep 0.2; done
"$player" --continue --game "$game" --no-audio >>"$work/player.out" 2>&1 &
PID=\$!
WID=\$(find_window 'Desk Test')
[ -n "\$WID" ] || echo "no window when started again" >> "$work/faults"
sleep 0.5
CASE
    ;;
  shift-f10-library)
    # The menu: Audio..., Инвентарь, zoom in, zoom out, actual size, full screen, then
    # the library (separators are passed over).
    cat > "$work/case.sh" <<'CASE'
xdotool key shift+F10
sleep 0.6
xdotool key Down Down Down Down Down Down Down Return
LIB=$(find_window "game library")
if [ -n "$LIB" ]; then wmctrl -i -c $LIB; else echo "the game library did not open" >> FAULTS; fi
CASE
    sed -i "s|FAULTS|$work/faults|g" "$work/case.sh" ;;
  click-then-enter)
    echo "xdotool key Down Down; sleep 0.3; xdotool mousemove --window \$WID 80 $(item_y 1) click 1; sleep 0.3; xdotool key Return" \
      > "$work/case.sh"; expect_page=one ;;
  double-click)
    echo "xdotool mousemove --window \$WID 80 $(item_y 2) click --repeat 2 --delay 80 1" > "$work/case.sh"; expect_page=two ;;
  inventory-escape)
    cat > "$work/case.sh" <<'CASE'
xdotool mousemove --window $WID 900 15 click 1          # "Инвентарь"
sleep 1
INV=$(xdotool search --onlyvisible --name "Инвентарь" | head -1)
[ -n "$INV" ] || echo "the inventory did not open" >> FAULTS
# A click on the main window leaves the inventory above it.
xdotool mousemove --window $WID 400 450 click 1
sleep 0.6
xprop -root _NET_CLIENT_LIST_STACKING | tr -d ',' | awk -v inv=$(printf '0x%x' $INV) -v main=$(printf '0x%x' $WID) '
  { for (i = 5; i <= NF; i++) { if ($i == inv) p = i; if ($i == main) m = i } }
  END { exit !(p > m) }' || echo "the inventory fell behind the main window" >> FAULTS
xdotool windowactivate --sync $INV
xdotool key Escape
sleep 0.6
xwininfo -id $INV | grep -q IsViewable && echo "Escape left the inventory open" >> FAULTS
true
CASE
    sed -i "s|FAULTS|$work/faults|g" "$work/case.sh" ;;
  fits-1024x600) inside 1024x600 > "$work/case.sh" ;;
  scale-factor-2) inside 1280x1024 > "$work/case.sh" ;;
  saved-position-off-screen) inside 1280x1024 > "$work/case.sh" ;;
  *) echo "unknown case $case"; exit 2 ;;
esac

env -u QT_QPA_PLATFORM timeout 90 "$here/with_xvfb.sh" ${screen}x24 bash "$work/run.sh" > "$work/run.out" 2>&1 || {
  cat "$work/run.out" "$work/player.out"; exit 1; }
cat "$work/notes" 2>/dev/null || true
[ -s "$work/faults" ] && { cat "$work/faults"; exit 1; }
[ "$(cat "$work/status")" = $status ] || { echo "exit status $(cat "$work/status"), not $status"; cat "$work/player.out"; exit 1; }
# Started elsewhere, the player writes nothing there.
[ "$start_dir" = "$game" ] || [ -z "$(ls -A "$start_dir")" ] || { echo "written into $start_dir:"; ls -A "$start_dir"; exit 1; }
log=$game/LastStart.log
if [ -n "$expect_page" ]; then
  for page in one two three; do
    if [ $page = "$expect_page" ]; then
      grep -q "Loading Page: $page" "$log" || { echo "page $page was not chosen"; cat "$log"; exit 1; }
    else
      grep -q "Loading Page: $page" "$log" && { echo "page $page was chosen instead of $expect_page"; exit 1; }
    fi
  done
fi
if [ $case = sigterm-save-window ] || [ $case = stop-signals ]; then
  # Ended through the shutdown: the page and the log are written, the run kept.
  grep -q "Page gamestart loaded" "$log" || { echo "no log written"; exit 1; }
  ls "$work/data/velmora-player/saves/"*/auto.sav >/dev/null || { echo "the run was not kept"; exit 1; }
fi
if [ $case = continue ]; then
  grep -q "Game loaded: the automatic slot" "$log" || { echo "did not go on from the automatic slot"; cat "$log"; exit 1; }
fi
if [ $case = saved-position-off-screen ]; then
  # The window came back on the screen, and that is where the shutdown saved it.
  tr -d '\r' < "$game/config.ini" | grep -q '^Left=5000$' && { echo "the off-screen position was saved again"; exit 1; }
fi
echo "$case: passed"
