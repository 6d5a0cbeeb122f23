#!/usr/bin/env bash
# tools/screenshot.sh --framed, as `make run` uses it: the picture is the 800 x 400 Wine desktop
# alone (not the virtual screen around it), and it shows the program, not a blank desktop.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The counter takes its sheets and clips out of the game first; on a busy machine that can take
# longer than the first wait, so a picture without it is taken once more, later.
for wait in 2 8; do
  "$ROOT/tools/screenshot.sh" --framed --wait "$wait" "$work/shot.png" \
    "$ROOT/build/windows/bin/M2KCOUNT.EXE" /C >/dev/null
  size=$(identify -format '%wx%h' "$work/shot.png")
  colours=$(identify -format '%k' "$work/shot.png")
  [ "$colours" -ge 100 ] && break
done
if [ "$size" != 800x400 ]; then
  echo "screenshot test: the picture is $size, not the 800x400 desktop"
  exit 1
fi
# The desktop alone is one colour; the counter's artwork brings hundreds.
if [ "$colours" -lt 100 ]; then
  echo "screenshot test: only $colours colours, the counter is not in the picture"
  exit 1
fi
echo "screenshot test: 800x400, $colours colours"
