#!/usr/bin/env bash
# tools/screenshot.sh --framed, as `make run` uses it: the picture is the 800 x 400 Wine desktop
# alone (not the virtual screen around it), and it shows the program, not a blank desktop.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work=$(mktemp -d)
SETTINGS_KEY='HKCU\Software\Zorve\M2K-COUNTER'
wine_reg() { "$ROOT/tools/wine-env.sh" exec wine reg "$@" >/dev/null 2>&1; }
# The counter stays up for its longest display time (9 s), whatever the prefix was left with by
# other runs, so that it is still there for the later picture; the settings come back after.
saved=0
wine_reg export "$SETTINGS_KEY" "$("$ROOT/tools/wine-env.sh" exec winepath -w "$work/settings.reg")" /y && saved=1
restore() {
  wine_reg delete "$SETTINGS_KEY" /f || true
  [ "$saved" -eq 0 ] || wine_reg import "$("$ROOT/tools/wine-env.sh" exec winepath -w "$work/settings.reg")"
  rm -rf "$work"
}
trap restore EXIT
wine_reg add "$SETTINGS_KEY" /v timer /t REG_DWORD /d 9 /f
wine_reg add "$SETTINGS_KEY" /v delay /t REG_DWORD /d 0 /f

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
