#!/usr/bin/env python3
"""The distribution: one zip holding the given files in one top-level folder, and the zip's
SHA-256 beside it in the format of sha256sum (check it with `sha256sum -c` in its folder).

    tools/make_dist.py OUTPUT.zip FOLDER FILE...

The zip is reproducible: the same files give the same bytes. Entries are sorted by name, carry
a fixed time (SOURCE_DATE_EPOCH when set, else 2000-01-01 00:00:00) and MS-DOS attributes
instead of the build machine's permissions, and are deflated at a fixed level. There is no
entry for the folder itself, so the zip holds the files and nothing else.
"""
import hashlib
import os
import sys
import time
import zipfile

ARCHIVE_ATTRIBUTE = 0x20  # FILE_ATTRIBUTE_ARCHIVE, what a file copied on Windows carries
DEFAULT_TIME = (2000, 1, 1, 0, 0, 0)


def fixed_time():
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    if not epoch:
        return DEFAULT_TIME
    # A zip stores local time without a zone; the UTC fields of the moment are used as they are.
    fields = time.gmtime(int(epoch))[:6]
    return max(fields, (1980, 1, 1, 0, 0, 0))


def write_zip(output, folder, files, date_time):
    temporary = output + ".tmp"
    with zipfile.ZipFile(temporary, "w") as archive:
        for path in sorted(files, key=os.path.basename):
            info = zipfile.ZipInfo(f"{folder}/{os.path.basename(path)}", date_time)
            info.create_system = 0  # MS-DOS: external_attr holds Windows attributes
            info.external_attr = ARCHIVE_ATTRIBUTE
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as f:
                archive.writestr(info, f.read(), compresslevel=9)
    os.replace(temporary, output)


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    output, folder, files = sys.argv[1], sys.argv[2], sys.argv[3:]
    names = [os.path.basename(path) for path in files]
    if len(set(names)) != len(names):
        sys.exit("make_dist: two files of the same name")
    for path in files:
        if not os.path.isfile(path):
            sys.exit(f"make_dist: {path} is missing; build it first")
    os.makedirs(os.path.dirname(output) or ".", exist_ok=True)
    write_zip(output, folder, files, fixed_time())
    with open(output, "rb") as f:
        digest = hashlib.sha256(f.read()).hexdigest()
    with open(output + ".sha256", "w", newline="\n") as f:
        f.write(f"{digest}  {os.path.basename(output)}\n")
    print(f"{output}\n{digest}  {os.path.basename(output)}")


if __name__ == "__main__":
    main()
