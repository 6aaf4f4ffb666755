#!/bin/sh
# Every text of the player's own windows is in the Russian translation, translated, and
# the translation holds no text the sources no longer use. Usage: LUPDATE SOURCE_DIR
set -eu
lupdate=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$src/ui/translations/velmora_ru.ts" "$work/velmora_ru.ts"
"$lupdate" -silent -I "$src" -locations none "$src/ui" -ts "$work/velmora_ru.ts"
if grep -B2 -E 'type="(unfinished|vanished|obsolete)"' "$work/velmora_ru.ts"; then
  echo "src/ui/translations/velmora_ru.ts: the texts above are untranslated or no longer used;" \
       "run scripts/update-translations.sh and translate them" >&2
  exit 1
fi
echo "every text translated"
