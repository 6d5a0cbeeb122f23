#!/usr/bin/env bash
# The start-up cost of the counter under Wine, as at logon: `M2KCOUNT.EXE /C` against the demo
# game, alternating with tools/startup_window (build/windows/bench/startup_window.exe, the
# least a program can do that opens a 600 x 176 always-on-top window of the counter's style and,
# with voices on, plays a WAV through MCI as soon as it is up). Each run is watched from outside
# by build/native/startup_watch (tools/startup_watch); the programs do not time themselves:
# - the time from the start of `wine` to a mapped 600 x 176 window on the X server, and to the
#   first read of a WAV file (a clip starting to play; the first WAV made is shown too);
# - at both moments the CPU time the Windows process has had, the CPU time of the prefix's
#   wineserver since the start, how long the process waited for a CPU, and its minor page faults
#   (first touches of new memory, each several microseconds on a virtual machine). On a machine
#   that other work keeps busy the wall times grow mostly by that waiting; the CPU times show the
#   work itself;
# - the peak resident (VmHWM) and anonymous (RssAnon) memory of the Windows process.
#
#   tools/bench_startup.sh [--runs N] [--modes "on off"] [--counter PATH] [--profile]
#
# --runs: counted runs of each program per mode (default 7), alternating counter, minimal,
# counter, ...; one run of each before them warms the prefix and the file cache and is not
# counted. --modes: "on" (voices and the Windows sound replacement on: wave 1, repl 1) and/or
# "off" (wave 0). --counter: another M2KCOUNT.EXE to measure, such as an earlier build, in a
# folder of its own with its ogog.dll (the folder is its work folder). Prints per mode and
# program the median and the spread (lowest-highest), the difference of the medians (what the
# counter adds to the least a program does) and their ratio, with the load average.
# --profile: each counted run under `perf record` (CPU clock with the kernel's and the
# program's stacks), ended as soon as the window is up; instead of the times, which perf
# inflates, tools/startup_profile.py then splits each program's CPU time into its own share
# (its code, the C runtime's memory functions, the first touches of its new memory) and Wine's
# (Wine's DLLs, X11, fonts, loader, system calls). Needs perf (Debian's linux-perf) and the
# right to use it (root, or kernel.perf_event_paranoid at most 1).
#
# Runs in the project's Wine prefix (tools/wine-env.sh) on a private X server without a window
# manager, whatever $DISPLAY says, so that the figures do not depend on a desktop. For the runs
# the counter's display time is 1 s, without delay and with its frame (timer 1, delay 0,
# form 0); the program's registry key is exported first and imported back at the end. The
# Windows sound scheme's keys are made when the prefix lacks them (and removed at the end), so
# that voices on includes the exit sound's clip as on Windows; voices off come last, so the
# counter gives the sounds back as they were. Needs `make build` and `make demo-game`
# (`make bench-startup` makes both).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
COUNTER_EXE="$ROOT/build/windows/bin/M2KCOUNT.EXE"
MINIMAL_EXE="$ROOT/build/windows/bench/startup_window.exe"
WATCH="$ROOT/build/native/startup_watch"
DEMO_GAME="$ROOT/build/demo_game"
WORK="$ROOT/build/bench-startup"
SETTINGS_KEY='HKCU\Software\Zorve\M2K-COUNTER'

runs=7
modes="on off"
inside=0
profile=0
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs="$2"; shift 2 ;;
    --modes) modes="$2"; shift 2 ;;
    --counter) COUNTER_EXE="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"; shift 2 ;;
    --profile) profile=1; shift ;;
    --inside) inside=1; shift ;;  # internal: already in the Wine environment
    *) sed -n '2,39p' "$0"; exit 2 ;;
  esac
done
case "$runs" in '' | *[!0-9]*) echo "--runs takes a whole number" >&2; exit 2 ;; esac
[ "$runs" -gt 0 ] || { echo "--runs must be above 0" >&2; exit 2; }
BIN="$(dirname "$COUNTER_EXE")"
for mode in $modes; do
  case "$mode" in on | off) ;; *) echo "--modes takes \"on\" and/or \"off\"" >&2; exit 2 ;; esac
done

set_setting() { wine reg add "$SETTINGS_KEY" /v "$1" /t REG_DWORD /d "$2" /f >/dev/null 2>&1; }

load_average() { cut -d' ' -f1-3 /proc/loadavg; }

# The prefix's wineserver: other trees run their own at the same time.
wineserver_pid() {
  local dir comm
  for dir in /proc/[0-9]*; do
    IFS= read -r comm 2>/dev/null < "$dir/comm" || continue
    if [[ $comm == wineserver* ]] && grep -qzxF "WINEPREFIX=$WINEPREFIX" "$dir/environ" 2>/dev/null; then
      echo "${dir#/proc/}"
      return 0
    fi
  done
  return 0
}

# One watched run; appends "program=P mode=M" and the watcher's line to $WORK/runs. Counted
# runs of a profile are recorded by perf into $WORK/profile.
watch_run() {
  local program="$1" mode="$2" line
  local server=(--server "${SERVER_PID:-0}")
  local WATCH=("$WATCH")
  if [ "$profile" -eq 1 ] && [ "$mode" != warm ]; then
    local recording done_runs
    done_runs=$(grep -c "program=$program mode=$mode " "$WORK/runs" || true)
    recording="$WORK/profile/$program-$mode-$done_runs.data"
    WATCH=(perf record -q -e cpu-clock -F 10000 -g -o "$recording" -- "$WATCH" --end-at-window)
  fi
  if [ "$program" = counter ]; then
    local voices=()
    [ "$mode" = on ] && voices=(--voices "$BIN")
    line=$(cd "$BIN" && "${WATCH[@]}" --size 600x176 "${server[@]}" "${voices[@]}" -- wine "$COUNTER_EXE" /C)
  else
    local clip=()
    [ "$mode" = on ] && clip=(clip.wav)
    line=$(cd "$WORK" && "${WATCH[@]}" --size 600x176 "${server[@]}" --voices "$WORK" -- wine "$MINIMAL_EXE" "${clip[@]}")
  fi
  echo "program=$program mode=$mode $line" >> "$WORK/runs"
  # A counter ended at its window leaves the files it deletes at its end: the next run must
  # find the folder as a finished run leaves it, or it would skip taking the sheets out.
  if [ "$program" = counter ] && [ "${#WATCH[@]}" -gt 1 ]; then
    (cd "$BIN" && rm -f ./*.[Tt][Gg][Aa] ./*.[Oo][Gg][Gg] ./*.[Ww][Aa][Vv] ./*.[Pp][Nn][Gg])
  fi
}

run_mode() {
  local mode="$1"
  if [ "$mode" = on ]; then set_setting wave 1; set_setting repl 1; else set_setting wave 0; fi
  watch_run counter warm >/dev/null
  watch_run minimal warm >/dev/null
  for _ in $(seq "$runs"); do
    watch_run counter "$mode"
    watch_run minimal "$mode"
  done
}

# A second of silence in the format of the demo game's clips (22050 Hz, mono, 16 bits).
write_clip() {
  python3 - "$WORK/clip.wav" <<'PY'
import sys, wave
with wave.open(sys.argv[1], "wb") as clip:
    clip.setnchannels(1)
    clip.setsampwidth(2)
    clip.setframerate(22050)
    clip.writeframes(b"\0\0" * 22050)
PY
}

report() {
  awk '
    function sortnum(a, n,   i, j, t) {
      for (i = 2; i <= n; i++) { t = a[i]; for (j = i - 1; j >= 1 && a[j] > t; j--) a[j + 1] = a[j]; a[j + 1] = t }
    }
    function median(key,   n, i, a) {
      n = count[key]; if (n == 0) return "-"
      for (i = 1; i <= n; i++) a[i] = value[key, i]
      sortnum(a, n)
      return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
    }
    function spread(key, s,   n, i, lo, hi) {
      n = count[key]
      lo = hi = value[key, 1]
      for (i = 2; i <= n; i++) { if (value[key, i] < lo) lo = value[key, i]; if (value[key, i] > hi) hi = value[key, i] }
      return sprintf("%.1f-%.1f", lo * s, hi * s)
    }
    function shown(key, s,   m) {
      m = median(key); if (m == "-") return "-"
      return sprintf("%.1f (%s)", m * s, spread(key, s))
    }
    # One line: the medians of both programs with their spread, difference and ratio. Memory is
    # counted in kB and shown in MB.
    function row(label, field, mode,   s, kc, km, c, m, dc, dm) {
      s = field ~ /_kb$/ ? 1 / 1024 : 1
      kc = "counter" SUBSEP mode SUBSEP field; km = "minimal" SUBSEP mode SUBSEP field
      c = median(kc); m = median(km)
      dc = (c == "-" || m == "-") ? "-" : sprintf("%+.1f", (c - m) * s)
      dm = (c == "-" || m == "-" || m == 0) ? "-" : sprintf("%.2f", c / m)
      printf "  %-34s %-22s %-22s %10s %6s\n", label, shown(kc, s), shown(km, s), dc, dm
    }
    {
      delete f
      for (i = 1; i <= NF; i++) { split($i, kv, "="); f[kv[1]] = kv[2] }
      if (f["mode"] == "warm") next
      for (name in f) {
        if (name == "program" || name == "mode" || f[name] == "-") continue
        key = f["program"] SUBSEP f["mode"] SUBSEP name
        value[key, ++count[key]] = f[name]
      }
      seen[f["mode"]] = 1
    }
    END {
      n = split("on off", modes, " ")
      for (i = 1; i <= n; i++) {
        mode = modes[i]; if (!(mode in seen)) continue
        printf "voices %s%s\n", mode, mode == "on" ? " (wave 1, repl 1)" : " (wave 0)"
        printf "  %-34s %-22s %-22s %10s %6s\n", "median (lowest-highest)", "counter", "minimal", "difference", "ratio"
        row("window viewable, ms", "window_ms", mode)
        row("  its CPU time by then, ms", "window_cpu_ms", mode)
        row("  wineserver CPU time by then, ms", "window_server_ms", mode)
        row("  waiting for a CPU by then, ms", "window_wait_ms", mode)
        row("  page faults by then", "window_faults", mode)
        if (mode == "on") {
          row("first clip playing, ms", "voice_ms", mode)
          row("  its CPU time by then, ms", "voice_cpu_ms", mode)
          row("  wineserver CPU time by then, ms", "voice_server_ms", mode)
          row("  waiting for a CPU by then, ms", "voice_wait_ms", mode)
          row("  page faults by then", "voice_faults", mode)
          row("first WAV made, ms", "wav_ms", mode)
        }
        row("peak resident (VmHWM), MB", "hwm_kb", mode)
        row("peak anonymous (RssAnon), MB", "anon_kb", mode)
      }
    }' "$WORK/runs"
}

run_inside() {
  mkdir -p "$WORK"
  : > "$WORK/runs"
  rm -rf "$WORK/profile"
  [ "$profile" -eq 0 ] || mkdir -p "$WORK/profile"
  write_clip
  # One server for every run, and the prefix's desktop process (explorer.exe) kept up by a
  # console program that waits on a pipe: as at logon, where the shell is already up. Without
  # it Wine's desktop process quits after each program and starts anew with the next one.
  wineserver -p
  SERVER_PID=$(wineserver_pid)
  exec {keeper}> >(wine cmd /c pause >/dev/null 2>&1)
  wine reg add 'HKCU\Software\Vant\Marivel2 KORVEN' /v InstallDir \
    /d "$(winepath -w "$DEMO_GAME")\\" /f >/dev/null 2>&1
  local saved=0
  rm -f "$WORK/settings.reg"
  if wine reg export "$SETTINGS_KEY" "$(winepath -w "$WORK/settings.reg")" /y >/dev/null 2>&1; then saved=1; fi
  set_setting timer 1
  set_setting delay 0
  set_setting form 0
  # The Windows sound scheme's keys, which a Windows installation has and a fresh prefix lacks:
  # with them the counter does all its work with voices on (the exit sound's clip is decoded).
  # Keys made here are removed at the end.
  local made_keys=()
  for event in SystemStart SystemExit; do
    local key="HKCU\AppEvents\Schemes\Apps\.Default\$event\.Current"
    if ! wine reg query "$key" >/dev/null 2>&1; then
      wine reg add "$key" /ve /d "" /f >/dev/null 2>&1
      made_keys+=("$key")
    fi
  done
  local before after
  before=$(load_average)
  for mode in $modes; do run_mode "$mode"; done
  after=$(load_average)
  exec {keeper}>&-
  for key in "${made_keys[@]}"; do wine reg delete "$key" /f >/dev/null 2>&1 || true; done
  wine reg delete "$SETTINGS_KEY" /f >/dev/null 2>&1 || true
  if [ "$saved" -eq 1 ]; then wine reg import "$(winepath -w "$WORK/settings.reg")" >/dev/null 2>&1; fi
  echo "== start-up under Wine: $runs alternating runs of each program per mode, against the demo game"
  echo "   load average before: $before, after: $after ($(nproc) cores)"
  if [ "$profile" -eq 1 ]; then
    python3 "$ROOT/tools/startup_profile.py" "$WORK/profile"
    echo "(perf recordings in $WORK/profile)"
    return
  fi
  report
  echo "(times from the start of wine; memory of the Windows process; every run in $WORK/runs)"
}

if [ "$inside" -eq 1 ]; then
  run_inside
  exit 0
fi
for file in "$COUNTER_EXE" "$MINIMAL_EXE" "$WATCH" "$DEMO_GAME/grp.pak"; do
  [ -e "$file" ] || { echo "missing $file: run make build and make demo-game first" >&2; exit 1; }
done
if [ "$profile" -eq 1 ] && ! perf --version >/dev/null 2>&1; then
  echo "--profile needs perf: apt-get install linux-perf" >&2
  exit 1
fi
extra=()
[ "$profile" -eq 0 ] || extra=(--profile)
exec env -u DISPLAY "$ROOT/tools/wine-env.sh" exec bash "$0" --inside --runs "$runs" --modes "$modes" \
  --counter "$COUNTER_EXE" "${extra[@]}"
