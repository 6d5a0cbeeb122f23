#!/usr/bin/env bash
# Writes the OGG fixtures of the decoder tests: short tones synthesized by sox and encoded by
# oggenc (libvorbis), an encoder independent of the decoder under test. The lengths are not
# multiples of any Vorbis block, so the last packet's trimming matters. Run from anywhere;
# rewrites the folder's files.
set -euo pipefail

out="$(cd "$(dirname "$0")/.." && pwd)/tests/fixtures/ogg"
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# NAME RATE CHANNELS SECONDS: mono carries one tone, stereo a different tone in each channel.
while read -r name rate channels seconds; do
  if [ "$channels" -eq 1 ]; then
    sox -n -r "$rate" -c 1 -b 16 "$work/$name.wav" synth "$seconds" sine 440 gain -6
  else
    sox -n -r "$rate" -c 2 -b 16 "$work/$name.wav" synth "$seconds" sine 440 sine 660 gain -6
  fi
  oggenc -Q -q 2 --serial 1 -o "$out/$name.ogg" "$work/$name.wav"
done <<'TONES'
tone-mono-22050 22050 1 0.37
tone-stereo-44100 44100 2 0.29
tone-stereo-22050 22050 2 0.41
TONES
