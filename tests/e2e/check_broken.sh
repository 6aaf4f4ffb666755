#!/usr/bin/env bash
# The story checker on a broken copy of the demo: each fault is reported and the exit
# status is non-zero.
set -euo pipefail
player=$1 demo=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -R "$demo" "$work/game"
cd "$work/game"
# A page that does not exist, a script that does not exist, a missing picture and a missing track file.
printf '\r\n___script broken_links\r\n$goto NoSuchPage $run no_such_script $jump no_such_label\r\n___end\r\n' >> Scripts/scripts.bsf
rm -f images/door.bmp music/waves.ogg
set +e
out=$("$player" --check --game "$work/game" 2>&1)
rc=$?
set -e
echo "$out"
[ $rc -ne 0 ] || { echo "expected a non-zero exit"; exit 1; }
for want in "NoSuchPage" "no_such_script" "no_such_label" "Door" "aves"; do
  grep -qi -- "$want" <<<"$out" || { echo "not reported: $want"; exit 1; }
done
