#!/usr/bin/env bash
# Runs a command (the tests under Wine) with two drive letters added to the project's Wine
# prefix for the game folder dialog's tests, and removes them afterwards:
#   M2K_TEST_DRIVE       a drive on an empty folder of the build tree, where the tests make
#                        their folders
#   M2K_NO_MEDIUM_DRIVE  a drive whose target is missing, as a drive without a medium
#
#   tests/wine/test_drives.sh COMMAND [ARGS...]
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
"$ROOT/tools/wine-env.sh" setup >/dev/null
DOSDEVICES="$ROOT/build/wine/prefix/dosdevices"
TARGET="$ROOT/build/wine-test-drive"
MISSING="$ROOT/build/wine-test-drive-missing"

letters=()
for letter in q r s t u v w x y; do
  [ -e "$DOSDEVICES/$letter:" ] || [ -L "$DOSDEVICES/$letter:" ] || letters+=("$letter")
  [ "${#letters[@]}" -eq 2 ] && break
done
[ "${#letters[@]}" -eq 2 ] || { echo "test_drives: no free drive letters in $DOSDEVICES" >&2; exit 1; }
drive="${letters[0]}" no_medium="${letters[1]}"

cleanup() {
  rm -f "$DOSDEVICES/$drive:" "$DOSDEVICES/$no_medium:"
  rm -rf "$TARGET"
}
trap cleanup EXIT
rm -rf "$TARGET" "$MISSING"
mkdir -p "$TARGET"
ln -s "$TARGET" "$DOSDEVICES/$drive:"
ln -s "$MISSING" "$DOSDEVICES/$no_medium:"

M2K_TEST_DRIVE="${drive^^}:" M2K_NO_MEDIUM_DRIVE="${no_medium^^}:" "$@"
