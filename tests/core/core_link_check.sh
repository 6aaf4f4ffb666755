#!/bin/sh
# Fails when the program built on velmora_core alone needs a library the core must not link.
set -eu
program=$1
"$program"
libs=$(ldd "$program")
echo "$libs"
if echo "$libs" | grep -Ei 'libQt|SDL|fluidsynth|png|jpeg|crypto|ssl|sndfile|mpg123|wmf|fontconfig'; then
  echo "velmora_core links a library it must not link" >&2
  exit 1
fi
