#!/usr/bin/env bash
# The distribution of `make dist`: exactly the program, both libraries and README.TXT in one
# folder, each as built; its SHA-256 file checks; the same inputs with other file times give
# the same bytes; README.TXT is Shift-JIS with CRLF line ends and names what a user needs.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
cd "$ROOT"
version=$(sed -n 's/^set(M2K_VERSION \([0-9.]*\))$/\1/p' CMakeLists.txt)
zip="build/dist/M2KCOUNT-$version.zip"
[ -f "$zip" ] || { echo "dist test: $zip is missing; run make dist"; exit 1; }
(cd build/dist && sha256sum --quiet -c "M2KCOUNT-$version.zip.sha256") ||
  { echo "dist test: the SHA-256 file does not match the zip"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bin=build/windows/bin
for name in M2KCOUNT.EXE ogog.dll DIDAZURA.DLL README.TXT; do
  cp -p "$bin/$name" "$work/$name"
  touch -d '2011-03-04 05:06:07' "$work/$name"
done
python3 tools/make_dist.py "$work/again.zip" M2KCOUNT "$work/README.TXT" "$work/ogog.dll" \
  "$work/M2KCOUNT.EXE" "$work/DIDAZURA.DLL" >/dev/null
cmp -s "$zip" "$work/again.zip" || { echo "dist test: the same files gave another zip"; exit 1; }

python3 - "$zip" "$bin" <<'PY'
import sys, zipfile
zip_path, bin_dir = sys.argv[1:]
failures = []
with zipfile.ZipFile(zip_path) as archive:
    infos = archive.infolist()
    names = [i.filename for i in infos]
    wanted = ["M2KCOUNT/DIDAZURA.DLL", "M2KCOUNT/M2KCOUNT.EXE", "M2KCOUNT/README.TXT", "M2KCOUNT/ogog.dll"]
    if names != wanted:
        failures.append(f"entries {names}, not {wanted}")
    if len({i.date_time for i in infos}) != 1:
        failures.append("the entries carry different times")
    for info in infos:
        with open(f"{bin_dir}/{info.filename.split('/')[1]}", "rb") as f:
            if archive.read(info) != f.read():
                failures.append(f"{info.filename} differs from the built file")
    readme = archive.read("M2KCOUNT/README.TXT")
try:
    text = readme.decode("cp932")
except UnicodeDecodeError as error:
    failures.append(f"README.TXT is not code page 932: {error}")
    text = ""
lines = readme.split(b"\r\n")
if any(b"\n" in line or b"\r" in line for line in lines) or lines[-1] != b"":
    failures.append("README.TXT has a line end other than CRLF")
for needed in ["M2KCOUNT.EXE", "HKEY_CURRENT_USER\\Software\\Zorve\\M2K-COUNTER", "スタートアップ",
               "アンインストール", "Wine", "1.03"]:
    if needed not in text:
        failures.append(f"README.TXT does not mention {needed}")
for failure in failures:
    print("dist test:", failure)
sys.exit(1 if failures else 0)
PY
echo "dist test: $zip holds the four files, reproducible, README.TXT in Shift-JIS with CRLF"
