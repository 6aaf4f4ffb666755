#!/usr/bin/env bash
# Start-up to the first painted page, and peak memory, under one Xvfb:
#   bare      a bare Qt window with a list and a text box (bare_window), the yardstick;
#   demo      the player on the demo game, whose start music is MIDI (sound through SDL's
#             dummy driver, so the soundfont is loaded as on a machine with a sound card);
#   12mp      the demo with its first page's picture replaced by a 4000x3000 JPEG;
#   nopic     the demo with its first page's picture removed (the 12mp yardstick).
# Each program is ended by the first-paint probe (LD_PRELOAD) right after its first paint;
# wall time is from launch to that exit. Runs are interleaved; medians are printed.
# Usage: bench/startup/run.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$(cd "$1" && pwd) runs=${2:-15}
src=$(cd "$(dirname "$0")/../.." && pwd)
player=$build/src/app/velmora-player bare=$build/bench/startup/bare_window
probe=$build/bench/startup/libfirst_paint_probe.so
for f in "$player" "$bare" "$probe"; do [ -e "$f" ] || { echo "missing $f (build with -DVELMORA_BUILD_BENCH=ON)"; exit 1; }; done
for tool in Xvfb convert; do command -v $tool >/dev/null || { echo "$tool is not installed"; exit 1; }; done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
for game in demo 12mp nopic; do
  cp -R "$src/examples/demo" "$work/$game"
  rm -rf "$work/$game/tools" "$work/$game/replays"
done
convert -seed 7 -size 4000x3000 plasma: "$work/12mp/images/title.jpg"
rm "$work/nopic/images/title.jpg"

cat > "$work/inner.sh" <<INNER
set -eu
now() { date +%s%N; }
one() {  # name, command...
  name=\$1; shift
  rm -f "$work/report"
  start=\$(now)
  FIRST_PAINT_REPORT="$work/report" LD_PRELOAD="$probe" "\$@" > /dev/null 2>&1 || true
  end=\$(now)
  [ -s "$work/report" ] || { echo "\$name: no first paint" >&2; exit 1; }
  echo "\$name \$(( (end - start) / 1000 )) \$(cat "$work/report")" >> "$work/times"
}
for i in \$(seq $runs); do
  one bare "$bare"
  for game in demo 12mp nopic; do
    (cd "$work/\$game" && one \$game "$player" --game "$work/\$game")
  done
done
INNER
SDL_AUDIODRIVER=dummy env -u QT_QPA_PLATFORM "$src/tests/e2e/with_xvfb.sh" 1280x1024x24 sh "$work/inner.sh"

# name, wall microseconds, CPU milliseconds, peak resident kilobytes: medians per program.
python3 - "$work/times" <<'PY'
import statistics, sys
rows = {}
for line in open(sys.argv[1]):
    name, wall, cpu, rss = line.split()
    rows.setdefault(name, []).append((int(wall) / 1000, float(cpu), int(rss) / 1024))
med = {n: [statistics.median(c) for c in zip(*v)] for n, v in rows.items()}
print(f"{'program':8} {'runs':>4} {'wall ms':>8} {'CPU ms':>7} {'peak MB':>8}")
for n in ("bare", "demo", "12mp", "nopic"):
    w, c, r = med[n]
    print(f"{n:8} {len(rows[n]):4} {w:8.1f} {c:7.1f} {r:8.1f}")
ratio = med["demo"][0] / med["bare"][0]
print(f"start-up to the first painted page, demo with MIDI start music / bare Qt window: {ratio:.2f} x wall"
      f" ({med['demo'][1] / med['bare'][1]:.2f} x CPU) (target <= 1.2{', met' if ratio <= 1.2 else ', MISSED'})")
peak = med["12mp"][2]
print(f"peak memory with a 12-megapixel first-page picture: {peak:.1f} MB (page without picture {med['nopic'][2]:.1f} MB)"
      f" (target <= 80{', met' if peak <= 80 else ', MISSED'})")
PY
