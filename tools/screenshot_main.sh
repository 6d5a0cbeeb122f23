#!/usr/bin/env bash
# Screenshots of the settings window in the states that its Wine tests drive it into: opening,
# the character menu open on either figure, the error box of OK without the game, a character
# chosen in the left list. The tests (m2k_wine_tests.exe, MainWindow.*) run in a Wine virtual
# desktop, which draws Windows-style frames, and ask for each picture through M2K_SHOT_DIR at
# the moment the state is reached; this script takes it from the X side with ImageMagick.
#
#   tools/screenshot_main.sh [OUTPUT_FOLDER]     (default build/screenshots/main)
# Needs `make build demo-game` first.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$(realpath -m "${1:-$ROOT/build/screenshots/main}")"
mkdir -p "$out"
rm -f "$out"/*.request "$out"/*.png
export SHOT_FOLDER="$out" TESTS="$ROOT/build/windows/bin/m2k_wine_tests.exe"
export M2K_DEMO_GAME="Z:${ROOT//\//\\}\\build\\demo_game"

shoot() {
  M2K_SHOT_DIR="$(winepath -w "$SHOT_FOLDER")"
  export M2K_SHOT_DIR
  wine explorer /desktop=M2K,800x600 "$TESTS" --gtest_filter='MainWindow.*' &
  local tests=$!
  while kill -0 "$tests" 2>/dev/null; do
    for request in "$SHOT_FOLDER"/*.request; do
      [ -e "$request" ] || continue
      local name
      name="$(basename "$request" .request)"
      sleep 1  # the state has just been reached: let it be painted
      import -window root -crop 800x600+0+0 +repage "$SHOT_FOLDER/$name.part.png"
      mv "$SHOT_FOLDER/$name.part.png" "$SHOT_FOLDER/$name.png"
      rm -f "$request"
    done
    sleep 0.1
  done
  wait "$tests" || true
}
export -f shoot
"$ROOT/tools/wine-env.sh" exec bash -c shoot
ls "$out"/*.png
