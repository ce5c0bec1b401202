#!/usr/bin/env bash
# The README's pictures, made from demo-capture's frames: one picture of each part
# (docs/pictures/part1.png ... part7.png) and a short animated loop (docs/pictures/loop.gif).
#   tools/readme-pictures.sh [DEMO_CAPTURE]     (default build/release/bin/demo-capture)
set -euo pipefail
cd "$(dirname "$0")/.."
capture=${1:-build/release/bin/demo-capture}
out=docs/pictures
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Each part is left with Space after `length` frames and pictured in its last one. In part two
# the scroller is stopped (d) a few frames before, so its text stands sharp instead of trailing.
length=250
first() { echo $(((${1} - 1) * (32 + length) + 32)); }
keys=""
for part in 1 2 3 4 5 6 7; do
  keys+="$(($(first "$part") + length - 1)):space,"
done
keys+="$(($(first 2) + length - 20)):d"
"$capture" --frames $((7 * (32 + length))) --keys "$keys" --ppm "$work" --from 0 --to $((7 * (32 + length) - 1))

mkdir -p "$out"
for part in 1 2 3 4 5 6 7; do
  frame=$(printf '%s/frame-%06d.ppm' "$work" $(($(first "$part") + length - 1)))
  pnmtopng -compression 9 "$frame" >"$out/part$part.png"
done

# Two seconds of part five's twisting chain, every other frame (25 per second), looping.
start=$(($(first 5) + 100))
for ((frame = start; frame < start + 100; frame += 2)); do
  pamtogif "$(printf '%s/frame-%06d.ppm' "$work" "$frame")" >"$(printf '%s/loop-%06d.gif' "$work" "$frame")" 2>/dev/null
done
gifsicle --loopcount=forever --delay=4 --colors=256 -O3 "$work"/loop-*.gif >"$out/loop.gif"
du -ch "$out"/* | tail -n 1
