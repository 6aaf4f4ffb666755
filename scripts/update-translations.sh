#!/usr/bin/env bash
# Brings src/ui/translations/*.ts up to date with the sources: new texts come in marked
# unfinished (translate them, e.g. with Qt Linguist), texts no longer used are dropped.
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=/usr/lib/qt6/bin/lupdate
"$lupdate" -I src -locations none -no-obsolete src/ui -ts src/ui/translations/velmora_ru.ts
# English is the sources' own language: only plural forms would need an entry.
"$lupdate" -I src -locations none -no-obsolete -pluralonly src/ui -ts src/ui/translations/velmora_en.ts
