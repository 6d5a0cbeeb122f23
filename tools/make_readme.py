#!/usr/bin/env python3
"""README.TXT for users: the UTF-8 source turned into what a Japanese Windows user reads, code
page 932 (Shift-JIS) with CRLF line ends. A character that code page 932 lacks stops the build.

    tools/make_readme.py SOURCE.utf8 OUTPUT.TXT
"""
import os
import sys


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    source, output = sys.argv[1:]
    with open(source, encoding="utf-8", newline="") as f:
        text = f.read()
    if "\r" in text:
        sys.exit(f"{source}: write the source with LF line ends; CRLF is made here")
    try:
        data = text.replace("\n", "\r\n").encode("cp932")
    except UnicodeEncodeError as error:
        line = text.count("\n", 0, error.start) + 1
        sys.exit(f"{source}:{line}: {text[error.start]!r} has no code page 932 form")
    temporary = output + ".tmp"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, output)


if __name__ == "__main__":
    main()
