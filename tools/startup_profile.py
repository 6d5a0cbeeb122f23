#!/usr/bin/env python3
"""Where the CPU time of a start goes, program against Wine: reads the perf recordings that
`tools/bench_startup.sh --profile` makes (one per run, each ending when the window is up) and
prints, per mode, the median CPU time of the Windows process in each share, for the counter and
the minimal window, and their difference.

  tools/startup_profile.py FOLDER

The shares split what the program does itself from what Wine and the system do for it:
- the program's own code (M2KCOUNT.EXE, startup_window.exe), the C runtime's memory functions it
  calls (msvcrt.dll: copies, fills, allocation), and the page faults taken in either, which are
  the first touches of the program's new memory;
- Wine: its DLLs and their Unix side, X11, text rendering (freetype), the dynamic loader, page
  faults in them, and system calls (wineserver requests go through pipes; files; memory maps).
Samples are of the cpu-clock event, so their periods are nanoseconds of CPU time. perf slows the
process down, by about a third here: compare shares with each other, not with bench times."""
import collections
import os
import re
import statistics
import subprocess
import sys

PROGRAMS = {"M2KCOUNT.EXE": "counter", "startup_window.exe": "minimal"}
OWN_CODE = set(PROGRAMS)
FRAME = re.compile(r"\s*[0-9a-f]+\s+(.*?)\s+\((.*)\)$")
SHARES = [
    "program: its own code",
    "program: C runtime memory functions (msvcrt)",
    "program: page faults in those (new memory)",
    "Wine: DLLs and their Unix side",
    "Wine: X11 (winex11, libX11, xcb)",
    "Wine: text (freetype)",
    "Wine: dynamic loader",
    "Wine: page faults in Wine and libraries",
    "Wine: system calls (wineserver, files, maps)",
]


def share_of(frames):
    """The share of one sample, from its stack: (symbol, library) pairs, innermost first."""
    symbol, library = frames[0]
    if "kernel" in library:
        user = next((lib for _, lib in frames if "kernel" not in lib), "")
        if any("exc_page_fault" in sym for sym, lib in frames if "kernel" in lib):
            return SHARES[2] if user in OWN_CODE or user == "msvcrt.dll" else SHARES[7]
        return SHARES[8]
    if library in OWN_CODE:
        return SHARES[0]
    if library == "msvcrt.dll":
        return SHARES[1]
    if library == "winex11.so" or library.startswith(("libX", "libxcb")):
        return SHARES[4]
    if library.startswith("libfreetype"):
        return SHARES[5]
    if library.startswith("ld-linux"):
        return SHARES[6]
    return SHARES[3]


def shares_of_run(path):
    """CPU time in ms per share for the Windows process of one recording."""
    script = subprocess.run(["perf", "script", "-i", path, "-F", "comm,period,ip,sym,dso"],
                            capture_output=True, text=True, check=True).stdout
    totals = collections.Counter()
    for sample in script.split("\n\n"):
        lines = sample.strip().split("\n")
        head = lines[0].split()
        if not head or not any(head[0].startswith(p[:15]) for p in PROGRAMS):
            continue  # wine's launcher, the watcher, other processes
        frames = [(m.group(1), os.path.basename(m.group(2)))
                  for m in map(FRAME.match, lines[1:]) if m]
        if frames:
            totals[share_of(frames)] += int(head[-1]) / 1e6
    return totals


def main():
    if len(sys.argv) != 2:
        print(__doc__.split("\n\n")[1].strip(), file=sys.stderr)
        return 2
    folder = sys.argv[1]
    runs = collections.defaultdict(list)  # (mode, program) -> [Counter]
    for name in sorted(os.listdir(folder)):
        match = re.fullmatch(r"(counter|minimal)-(on|off)-\d+\.data", name)
        if match:
            runs[match.group(2), match.group(1)].append(shares_of_run(os.path.join(folder, name)))
    if not runs:
        print(f"no recordings in {folder}", file=sys.stderr)
        return 1
    for mode in ("on", "off"):
        counter, minimal = runs.get((mode, "counter"), []), runs.get((mode, "minimal"), [])
        if not counter or not minimal:
            continue
        print(f"voices {mode}: CPU time of the Windows process until its window is up, ms "
              f"(medians of {len(counter)} and {len(minimal)} runs under perf)")
        print(f"  {'':46s} {'counter':>8s} {'minimal':>8s} {'difference':>10s}")

        def row(label, pick):
            c = statistics.median(pick(r) for r in counter)
            m = statistics.median(pick(r) for r in minimal)
            print(f"  {label:46s} {c:8.1f} {m:8.1f} {c - m:+10.1f}")

        for share in SHARES:
            row(share, lambda r, s=share: r[s])
        row("the program's shares together", lambda r: sum(r[s] for s in SHARES[:3]))
        row("Wine's shares together", lambda r: sum(r[s] for s in SHARES[3:]))
        row("all", lambda r: sum(r.values()))
    return 0


if __name__ == "__main__":
    sys.exit(main())
