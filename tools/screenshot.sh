#!/usr/bin/env bash
# Starts a Windows program in the project's Wine and saves a screenshot of the screen while it
# runs. With --framed the program runs in a Wine virtual desktop of 800 x 400, which draws
# Windows-style frames and captions (a bare X server has no window manager to draw them), and the
# screenshot is of that desktop alone. With --at the program sees the given local time
# (libfaketime), to look at special days.
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
[ $# -ge 2 ] || { sed -n '2,8p' "$0"; exit 2; }
output="$1"
shift
mkdir -p "$(dirname "$output")"

# The X window of the Wine virtual desktop (its size is unique on the screen), once it exists;
# empty after 30 seconds without it.
desktop_window() {
  for _ in $(seq 120); do
    local id
    id=$(xwininfo -root -children 2>/dev/null | awk -v size=" $DESKTOP_SIZE+" 'index($0, size) {print $1; exit}')
    [ -n "$id" ] && { echo "$id"; return; }
    sleep 0.25
  done
}

shoot() {
  local program=("$@")
  if [ "$framed" -eq 1 ]; then
    program=(wine explorer "/desktop=M2K,$DESKTOP_SIZE" "$@")
  else
    program=(wine "$@")
  fi
  "${program[@]}" &
  local pid=$!
  # Framed: the picture is the desktop alone, not the screen around it, and the wait starts once
  # it is there (a busy machine takes seconds to bring it up).
  local window=root
  if [ "$framed" -eq 1 ]; then
    window=$(desktop_window)
    [ -n "$window" ] || { echo "screenshot: no Wine desktop appeared" >&2; wineserver -k; return 1; }
  fi
  sleep "$wait_seconds"
  # A program that has ended takes the Wine desktop with it, and import waits forever for a
  # window that is gone.
  if [ "$window" != root ] && ! xwininfo -id "$window" >/dev/null 2>&1; then
    echo "screenshot: the program ended within ${wait_seconds}s, before the picture" >&2
    wait "$pid" || true
    return 1
  fi
  timeout 60 import -window "$window" "$output"
  # A program that does not end by itself (the settings window) is ended after a grace time.
  for _ in $(seq 150); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && wineserver -k >/dev/null 2>&1
  wait "$pid" || true
}
DESKTOP_SIZE=800x400
export -f shoot desktop_window
export framed wait_seconds output DESKTOP_SIZE
faked=()
# NO_FAKE_STAT: file times stay real, or Wine would take its prefix for outdated.
[ -n "$at" ] && faked=(env NO_FAKE_STAT=1 faketime "$at")
"${faked[@]}" "$ROOT/tools/wine-env.sh" exec bash -c 'shoot "$@"' shoot "$@"
echo "screenshot: $output"
