#!/usr/bin/env bash
# Starts a Windows program in the project's Wine and saves a screenshot of the screen while it
# runs. With --framed the program runs in a Wine virtual desktop, which draws Windows-style
# frames and captions (a bare X server has no window manager to draw them). With --at the
# program sees the given local time (libfaketime), to look at special days.
#
#   tools/screenshot.sh [--framed] [--wait SECONDS] [--at 'YYYY-MM-DD HH:MM:SS'] OUTPUT.png PROGRAM.EXE [ARGS...]
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

framed=0
at=""
wait_seconds=2
while [ $# -gt 0 ]; do
  case "$1" in
    --framed) framed=1; shift ;;
    --wait) wait_seconds="$2"; shift 2 ;;
    --at) at="$2"; shift 2 ;;
    *) break ;;
  esac
done
[ $# -ge 2 ] || { sed -n '2,7p' "$0"; exit 2; }
output="$1"
shift
mkdir -p "$(dirname "$output")"

shoot() {
  local program=("$@")
  if [ "$framed" -eq 1 ]; then
    program=(wine explorer /desktop=M2K,800x400 "$@")
  else
    program=(wine "$@")
  fi
  "${program[@]}" &
  local pid=$!
  sleep "$wait_seconds"
  import -window root "$output"
  # A program that does not end by itself (the settings window) is ended after a grace time.
  for _ in $(seq 150); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && wineserver -k >/dev/null 2>&1
  wait "$pid" || true
}
export -f shoot
export framed wait_seconds output
faked=()
# NO_FAKE_STAT: file times stay real, or Wine would take its prefix for outdated.
[ -n "$at" ] && faked=(env NO_FAKE_STAT=1 faketime "$at")
"${faked[@]}" "$ROOT/tools/wine-env.sh" exec bash -c 'shoot "$@"' shoot "$@"
echo "screenshot: $output"
