#!/usr/bin/env python3
"""Builds the demo game folder that `make run` and the Wine tests point the counter at.

    python3 tools/make_demo_game.py [FOLDER]        (default build/demo_game)

The folder gets everything the counter looks for in a game folder, all of it our own:
  Marivel2.exe  our message box (tools/demo_game/marivel2_demo.cpp, `make windows`)
  grp.pak       the sheets of resources/demo_sprites, two in three LZSS-packed by
                build/native/lzss_pack (`make native`), plus entries that must never be taken
  voice.pak     a short synthesized OGG clip for every clip name of the scenario tables and the
                exit clips, listed by build/native/dump_clips (`make native`)

Clips are spoken by espeak-ng's Japanese voice (kana only: it has no kanji readings), or are a
chime from sox when it has no Japanese voice or a line has no kana, and are encoded by oggenc.
They are cached under build/demo_game_cache, so later runs only write the archives. The same
inputs give the same bytes.
"""
import concurrent.futures
import hashlib
import os
import re
import struct
import subprocess
import sys
import tempfile
import unicodedata
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
SPRITES = ROOT / "resources" / "demo_sprites"
EXECUTABLE = ROOT / "build" / "windows" / "demo" / "Marivel2.exe"
PACKER = ROOT / "build" / "native" / "lzss_pack"
DUMP_CLIPS = ROOT / "build" / "native" / "dump_clips"
CACHE = ROOT / "build" / "demo_game_cache"

# Bytes 0-3 of either archive are never read by the counter; ours say what made the file.
ARCHIVE_TAG = b"M2KD"
# Changing anything in how a clip is made must change this, so cached clips are remade.
VOICE_RECIPE = "espeak-ng ja -s 170, 22050 Hz mono, at most 1.6 s, oggenc -q -1"
MAX_SECONDS = "1.6"
NAME_TOKEN = re.compile(r"\{[^}]*\}")


def run(command, **kwargs):
    return subprocess.run([str(part) for part in command], check=True, **kwargs)


# ---- grp.pak -------------------------------------------------------------------------------

def packed(path):
    """The packed-entry form of a file: 4 bytes, its size, the LZSS stream."""
    return run([PACKER, path, "-"], stdout=subprocess.PIPE).stdout


def image_entries():
    """(name, packed flag, stored bytes) in directory order."""
    entries = []
    names = sorted(p.name for p in SPRITES.iterdir() if p.suffix in (".tga", ".tg2"))
    for index, name in enumerate(names):
        path = SPRITES / name
        if name == "mapc010.tga":
            # Names are matched with letter case significant: this twin must be passed over.
            entries.append(("MAPC010.TGA", 0, b"not this entry: the upper-case twin of mapc010.tga\n"))
        if name == "mapc020.tga":
            # An empty entry is never taken, even when its name matches first.
            entries.append((name, 0, b""))
        if index % 3 == 2:
            entries.append((name, 0, path.read_bytes()))
        else:
            entries.append((name, 1, packed(path)))
    # Of two entries with one name the first is taken: this later one must never be.
    entries.append(("mapc040.tga", 0, b"not this entry: a later duplicate of mapc040.tga\n"))
    return entries


def image_archive(entries):
    data_start = 8 + 36 * len(entries)
    directory, data = bytearray(), bytearray()
    for name, flag, stored in entries:
        directory += struct.pack("<I24sIi", flag, name.encode("ascii"), data_start + len(data), len(stored))
        data += stored
    return ARCHIVE_TAG + struct.pack("<i", len(entries)) + directory + data


# ---- voice.pak -----------------------------------------------------------------------------

def clip_uses():
    """(clip name, speaker, text it says, whether its row names the protagonist) for every use
    of a clip, in table order. A clip says the line of its place in the row, or the row's first
    line when there is none; a name in kanji is said by the reading the next token holds."""
    records = run([DUMP_CLIPS], stdout=subprocess.PIPE).stdout.decode("cp932").splitlines()
    tokens = records[0].split("\t")[1:]
    readings = {tokens[0]: tokens[1], tokens[2]: tokens[3]}
    uses = []
    for record in records[1:]:
        clip, speaker, place, *lines = record.split("\t")
        place = int(place)
        text = lines[place] if place < len(lines) and lines[place] else lines[0]
        for token, reading in readings.items():
            text = text.replace(token, reading)
        uses.append((clip, int(speaker), text, any(NAME_TOKEN.search(line) for line in lines)))
    return uses


def variant_name(clip):
    stem, dot, extension = clip.rpartition(".")
    return f"{stem}A{dot}{extension}"


def zeroed_form(clip):
    """The name the counter retries a missing clip under: its 9th and 10th characters "00"."""
    return clip[:8] + "00" + clip[10:]


def voice_entries(uses):
    """(entry name, speaker, text to speak) in directory order.

    Every third clip name that can be retried under another name is stored only under that
    other name, so the retry is needed to find it. A clip of a row that names the protagonist
    also gets its variant without the name ("A" after the stem)."""
    first = {}
    for clip, speaker, text, named in uses:
        first.setdefault(clip, (speaker, text, named))
    retried = sorted(c for c in first if c[8:10] != "00" and zeroed_form(c) not in first)
    stored_as = {clip: zeroed_form(clip) for clip in retried[::3]}
    entries = []
    for clip, (speaker, text, named) in first.items():
        name = stored_as.get(clip, clip)
        entries.append((name, speaker, NAME_TOKEN.sub(lambda m: m.group(0)[1:-1], text)))
        if named:
            entries.append((variant_name(name), speaker, NAME_TOKEN.sub("", text)))
    return entries


def speakable(text):
    """The kana of a line, with its punctuation as pauses."""
    kept = []
    for ch in unicodedata.normalize("NFKC", text):
        if "\u3041" <= ch <= "\u30ff":
            kept.append(ch)
        elif ch in "。、！？!?…・ 　":
            kept.append("、")
    return "".join(kept).strip("、")


def has_japanese_voice():
    try:
        voices = run(["espeak-ng", "--voices=ja"], stdout=subprocess.PIPE, text=True).stdout
    except (OSError, subprocess.CalledProcessError):
        return False
    return any(line.split()[1:2] == ["ja"] for line in voices.splitlines()[1:])


def synthesize(speaker, kana):
    """The OGG bytes of a clip saying `kana` (a chime when empty), cached."""
    key = hashlib.sha256(f"{VOICE_RECIPE}\n{speaker}\n{kana}".encode()).hexdigest()
    cached = CACHE / f"{key[:32]}.ogg"
    if cached.exists():
        return cached.read_bytes()
    with tempfile.TemporaryDirectory(dir=CACHE) as work:
        raw, wav, ogg = (Path(work) / name for name in ("raw.wav", "clip.wav", "clip.ogg"))
        if kana:
            run(["espeak-ng", "-v", "ja", "-s", "170", "-p", 25 + 7 * speaker, "-w", raw, kana])
        else:
            # A plucked note, higher for each speaker, in place of a voice.
            run(["sox", "-R", "-n", "-r", "22050", "-c", "1", "-b", "16", raw,
                 "synth", "0.9", "pluck", 330 * 2 ** (speaker / 12)])
        run(["sox", "-D", "-R", "-V1", raw, "-r", "22050", "-c", "1", "-b", "16", wav,
             "trim", "0", MAX_SECONDS, "fade", "t", "0.01", "-0", "0.15"])
        # A fixed stream serial number: oggenc picks a random one otherwise.
        run(["oggenc", "-Q", "-q", "-1", "--serial", int(key[:7], 16), "-o", ogg, wav])
        os.replace(ogg, cached)
    return cached.read_bytes()


def voice_archive(entries, clips):
    data_start = 8 + 40 * len(entries)
    directory, data = bytearray(), bytearray()
    for (name, _, _), clip in zip(entries, clips):
        hidden = bytes(255 - b for b in name.encode("ascii"))
        directory += struct.pack("<32siI", hidden, len(clip), data_start + len(data))
        data += clip
    return ARCHIVE_TAG + struct.pack("<i", len(entries)) + directory + data


# ---- the folder ----------------------------------------------------------------------------

def write(path, data):
    temporary = path.with_name(path.name + ".part")
    temporary.write_bytes(data)
    os.replace(temporary, path)


def main():
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "build" / "demo_game"
    for needed in (EXECUTABLE, PACKER, DUMP_CLIPS):
        if not needed.exists():
            sys.exit(f"make_demo_game: {needed} is missing; run `make build` first")
    folder.mkdir(parents=True, exist_ok=True)
    CACHE.mkdir(parents=True, exist_ok=True)

    write(folder / "Marivel2.exe", EXECUTABLE.read_bytes())

    images = image_entries()
    write(folder / "grp.pak", image_archive(images))

    voices = voice_entries(clip_uses())
    japanese = has_japanese_voice()
    said = [(speaker, speakable(text) if japanese else "") for _, speaker, text in voices]
    distinct = sorted(set(said))
    with concurrent.futures.ThreadPoolExecutor(os.cpu_count() or 2) as pool:
        made = dict(zip(distinct, pool.map(lambda job: synthesize(*job), distinct)))
    write(folder / "voice.pak", voice_archive(voices, [made[job] for job in said]))

    print(f"demo game in {folder}: grp.pak {len(images)} entries "
          f"({sum(1 for e in images if e[1])} packed), {(folder / 'grp.pak').stat().st_size} bytes; "
          f"voice.pak {len(voices)} clips ({sum(1 for v in voices if v[0].rpartition('.')[0].endswith('A'))} "
          f"without the name), {(folder / 'voice.pak').stat().st_size} bytes"
          + ("" if japanese else "; espeak-ng has no Japanese voice here, so every clip is a chime"))


if __name__ == "__main__":
    main()
