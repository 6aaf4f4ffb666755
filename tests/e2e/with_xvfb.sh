#!/usr/bin/env bash
# Runs a command on a private Xvfb server and returns its status. The server picks a free
# display itself (-displayfd), so tests started side by side never race for one number
# the way `xvfb-run -a` does (two servers, one display, a client refused).
#   with_xvfb.sh WIDTHxHEIGHTxDEPTH COMMAND [ARGS...]
set -u
screen=$1; shift
command -v Xvfb >/dev/null || { echo "Xvfb is not installed"; exit 77; }
dir=$(mktemp -d)
server=
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 143' TERM INT HUP
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$dir/display" 2>"$dir/server.log" &
server=$!
# The number arrives with a newline once the server accepts clients.
for _ in $(seq 300); do
  grep -q . "$dir/display" 2>/dev/null && [ "$(tail -c 1 "$dir/display" | od -An -c | tr -d ' ')" = '\n' ] && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.1
done
number=$(tr -d '[:space:]' < "$dir/display")
if [ -z "$number" ]; then
  echo "Xvfb did not start:"; cat "$dir/server.log"; exit 1
fi
DISPLAY=:$number "$@"
