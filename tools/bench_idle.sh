#!/usr/bin/env bash
# The idle cost of the settings window under Wine. M2KCOUNT.EXE started without arguments runs
# against the demo game, then tools/idle_window (a 200 ms timer repainting 240 x 176 pixels: the
# least a window animating two figures can do) runs as long; each is measured by the CPU time
# its process used (utime + stime in /proc/PID/stat, all its threads) per second of wall time,
# beside the share of the prefix's wineserver over the same interval (it queues the timers and
# messages of every Wine process). The two run one after the other, never together, so each
# wineserver figure belongs to one program (and to the prefix's idle services, alike for both).
#
#   tools/bench_idle.sh [--seconds N] [--settle N]
#
# --seconds: how long each program is measured (default 60). --settle: seconds from a program's
# start to the first reading (default 10), so that start-up, and Wine's own when the prefix's
# services start with the first program, is not counted as idling. Each program is then closed
# as a user closes a window (WM_CLOSE, through taskkill), so the settings window cleans up its
# working files as usual. Needs `make build` and `make demo-game` (`make bench-idle` makes both);
# runs in the project's Wine prefix (tools/wine-env.sh), on a private X server without $DISPLAY.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
SETTINGS_EXE="$ROOT/build/windows/bin/M2KCOUNT.EXE"
MINIMAL_EXE="$ROOT/build/windows/bench/idle_window.exe"
DEMO_GAME="$ROOT/build/demo_game"

seconds=60
settle=10
inside=0
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds="$2"; shift 2 ;;
    --settle) settle="$2"; shift 2 ;;
    --inside) inside=1; shift ;;  # internal: already in the Wine environment
    *) sed -n '2,17p' "$0"; exit 2 ;;
  esac
done
case "$seconds$settle" in *[!0-9]*) echo "--seconds and --settle take whole seconds" >&2; exit 2 ;; esac
[ "$seconds" -gt 0 ] || { echo "--seconds must be above 0" >&2; exit 2; }

# ---- Processes of the project's prefix ---------------------------------------------------------

# True when the process's environment names this prefix: other trees run their own Wine at the
# same time, with programs of the same names.
in_prefix() { grep -qzxF "WINEPREFIX=$WINEPREFIX" "/proc/$1/environ" 2>/dev/null; }

# The process of this prefix running the Windows program NAME (the first word of its command
# line ends in NAME, in any case), or nothing.
program_pid() {
  local name="$1" dir first
  for dir in /proc/[0-9]*; do
    first=""
    IFS= read -r -d "" first 2>/dev/null < "$dir/cmdline" || [ -n "$first" ] || continue
    first=${first##*[/\\]}
    if [ "${first,,}" = "${name,,}" ] && in_prefix "${dir#/proc/}"; then
      echo "${dir#/proc/}"
      return 0
    fi
  done
  return 0
}

wineserver_pid() {
  local dir comm
  for dir in /proc/[0-9]*; do
    IFS= read -r comm 2>/dev/null < "$dir/comm" || continue
    if [[ $comm == wineserver* ]] && in_prefix "${dir#/proc/}"; then
      echo "${dir#/proc/}"
      return 0
    fi
  done
  return 0
}

# utime + stime of a process in clock ticks. The command name in /proc/PID/stat may hold spaces
# and parentheses, so the fields are counted from its closing parenthesis: the 14th and 15th
# fields of the line are the 12th and 13th after it.
cpu_ticks() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  # shellcheck disable=SC2086  # split into fields on purpose
  set -- ${stat##*) }
  echo $(( ${12} + ${13} ))
}

now_ns() { date +%s%N; }

# ---- One program -------------------------------------------------------------------------------

# Runs PROGRAM.EXE, measures it and closes it; prints "ticks wineserver_ticks wall_ns".
measure() {
  local exe="$1" name pid server program_start server_start wall_start program_end server_end
  name=$(basename "$exe")
  wine "$exe" >/dev/null 2>&1 &
  local launcher=$!
  for _ in $(seq 300); do
    pid=$(program_pid "$name")
    [ -n "$pid" ] && break
    sleep 0.1
  done
  [ -n "$pid" ] || { echo "$name did not start" >&2; return 1; }
  sleep "$settle"
  server=$(wineserver_pid)
  [ -n "$server" ] || { echo "no wineserver for $WINEPREFIX" >&2; return 1; }
  program_start=$(cpu_ticks "$pid") || { echo "$name ended before it was measured" >&2; return 1; }
  server_start=$(cpu_ticks "$server")
  wall_start=$(now_ns)
  sleep "$seconds"
  program_end=$(cpu_ticks "$pid") || { echo "$name ended while it was measured" >&2; return 1; }
  server_end=$(cpu_ticks "$server") || { echo "the wineserver ended while $name was measured" >&2; return 1; }
  echo "$((program_end - program_start)) $((server_end - server_start)) $(( $(now_ns) - wall_start ))"

  wine taskkill /im "$name" >/dev/null 2>&1 || true
  for _ in $(seq 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then
    echo "$name did not close; ending it" >&2
    kill "$pid" 2>/dev/null || true
  fi
  wait "$launcher" 2>/dev/null || true
}

run_inside() {
  local hz settings minimal
  hz=$(getconf CLK_TCK)
  # The demo game is the installed game, as for `make run`.
  wine reg add 'HKCU\Software\Vant\Marivel2 KORVEN' /v InstallDir \
    /d "$(winepath -w "$DEMO_GAME")\\" /f >/dev/null 2>&1
  echo "== idle cost under Wine: each program measured for $seconds s, from $settle s after its start"
  settings=$(measure "$SETTINGS_EXE")
  minimal=$(measure "$MINIMAL_EXE")
  # shellcheck disable=SC2086
  awk -v hz="$hz" -v s="$settings" -v m="$minimal" 'BEGIN {
    split(s, a, " "); split(m, b, " ")
    # per cent of one core: CPU seconds per wall second x 100
    sp = a[1] / hz / (a[3] / 1e9) * 100; sw = a[2] / hz / (a[3] / 1e9) * 100
    mp = b[1] / hz / (b[3] / 1e9) * 100; mw = b[2] / hz / (b[3] / 1e9) * 100
    printf "%-38s %10s %12s %10s\n", "CPU time per wall time, % of one core", "program", "wineserver", "together"
    printf "%-38s %8.2f %% %10.2f %% %8.2f %%\n", "settings window (M2KCOUNT.EXE)", sp, sw, sp + sw
    printf "%-38s %8.2f %% %10.2f %% %8.2f %%\n", "minimal window (idle_window.exe)", mp, mw, mp + mw
    printf "%-38s %10s %12s %10s\n", "settings / minimal", ratio(sp, mp), ratio(sw, mw), ratio(sp + sw, mp + mw)
    printf "(utime + stime from /proc/PID/stat, clock ticks of %d ms)\n", 1000 / hz
  }
  function ratio(x, y) { return y > 0 ? sprintf("%.2f", x / y) : "-" }'
}

if [ "$inside" -eq 1 ]; then
  run_inside
  exit 0
fi
for file in "$SETTINGS_EXE" "$MINIMAL_EXE" "$DEMO_GAME/grp.pak"; do
  [ -e "$file" ] || { echo "missing $file: run make build and make demo-game first" >&2; exit 1; }
done
exec "$ROOT/tools/wine-env.sh" exec bash "$0" --inside --seconds "$seconds" --settle "$settle"
