#!/usr/bin/env bash
# The settings windows as the Wine suite drew them under code page 932 and under 1252
# (LocaleScreensWine writes them into build/locale-shots/<code page>/) must be the same pictures:
# the same files, equal byte for byte. A difference is written beside them as <name>-diff.png
# (ImageMagick) for a person to look at.
#
#   tests/tools/compare_locale_shots.sh [FOLDER]     (default build/locale-shots)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
folder="${1:-$ROOT/build/locale-shots}"
japanese="$folder/932" english="$folder/1252"
status=0
for side in "$japanese" "$english"; do
  ls "$side"/*.bmp >/dev/null 2>&1 || { echo "locale shots: no pictures in $side" >&2; exit 1; }
done
names() { (cd "$1" && ls -- *.bmp | sort); }
if [ "$(names "$japanese")" != "$(names "$english")" ]; then
  echo "locale shots: the two code pages drew different windows:" >&2
  diff <(names "$japanese") <(names "$english") >&2 || true
  exit 1
fi
for picture in $(names "$japanese"); do
  if cmp -s "$japanese/$picture" "$english/$picture"; then
    echo "locale shots: $picture the same under 932 and 1252"
  else
    diff_png="$folder/${picture%.bmp}-diff.png"
    pixels=$(compare -metric AE "$japanese/$picture" "$english/$picture" "$diff_png" 2>&1 || true)
    echo "locale shots: $picture differs between 932 and 1252 ($pixels pixels; see $diff_png)" >&2
    status=1
  fi
done
exit "$status"
