#!/usr/bin/env bash
# Writes the TGA fixtures of the native tests with ImageMagick, a TGA writer independent of
# ours, and next to each NAME.tga a reference NAME.rgba: the same file read back by ImageMagick,
# turned upright from the file's storage order (-auto-orient), 8-bit R, G, B, A per pixel, top
# row first. The tests then need no ImageMagick. Run from anywhere; rewrites the folder's files.
#
# ImageMagick writes the rows in its own memory order and only labels them with the descriptor's
# orientation bits, so the same pixels under different labels are different pictures to a TGA
# reader: that is what the orientation fixtures check. It never writes a colour-map origin other
# than 0 nor 32-bit colour-map entries; the tests build those files themselves.
set -euo pipefail

convert=/usr/bin/convert   # the real ImageMagick, not a wrapper earlier on PATH
out="$(cd "$(dirname "$0")/.." && pwd)/tests/fixtures/targa"
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# A 7 x 5 picture of distinct colours with varied alpha, except for one colour repeated six
# times across the end of row 2 and the start of row 3, so that run-length encoders make a run
# packet that crosses a row boundary.
{
  echo "# ImageMagick pixel enumeration: 7,5,255,srgba"
  for y in 0 1 2 3 4; do
    for x in 0 1 2 3 4 5 6; do
      if { [ "$y" -eq 2 ] && [ "$x" -ge 3 ]; } || { [ "$y" -eq 3 ] && [ "$x" -le 1 ]; }; then
        echo "$x,$y: (200,120,40,160)"
      else
        echo "$x,$y: ($(( (x * 37 + y * 11) % 256 )),$(( (y * 53 + x * 5 + 20) % 256 )),$(( (x * y * 19 + 90) % 256 )),$(( (x + y) % 3 == 0 ? 255 : (x * 30 + y * 20 + 15) % 256 )))"
      fi
    done
  done
} > "$work/picture.txt"
"$convert" "$work/picture.txt" "$work/picture.png"

# name, then the options that make the variant
variants=(
  "truecolour32:"
  "truecolour32_rle:-compress RLE"
  "truecolour24:-alpha off"
  "truecolour24_rle:-alpha off -compress RLE"
  "truecolour16:-alpha off -depth 5"
  "truecolour16_rle:-alpha off -depth 5 -compress RLE"
  "truecolour16_alphabit_rle:-depth 5 -compress RLE"
  "mapped24:-alpha off -type Palette"
  "mapped24_rle:-alpha off -type Palette -compress RLE"
  "mapped16:-alpha off -type Palette -depth 5"
  "grey:-alpha off -colorspace Gray"
  "grey_rle:-alpha off -colorspace Gray -compress RLE"
  "topleft32:-orient TopLeft"
  "topright32:-orient TopRight"
  "bottomright32:-orient BottomRight"
  "topright24_rle:-alpha off -orient TopRight -compress RLE"
  "topleft_mapped_rle:-alpha off -type Palette -orient TopLeft -compress RLE"
)

rm -f "$out"/*.tga "$out"/*.rgba
for variant in "${variants[@]}"; do
  name=${variant%%:*}
  # shellcheck disable=SC2086  # the options are words on purpose
  "$convert" "$work/picture.png" ${variant#*:} "tga:$out/$name.tga"
  "$convert" "tga:$out/$name.tga" -auto-orient -depth 8 "RGBA:$out/$name.rgba"
  printf '%-28s %s\n' "$name" "$(identify -format '%[type] %z-bit %[compression] %[orientation]' "tga:$out/$name.tga")"
done
