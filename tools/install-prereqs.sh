#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine. Idempotent: packages already
# present are skipped, so a second run costs one dpkg query.
set -euo pipefail

packages=(
  cmake make g++ googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
  wine wine64 fonts-wine xvfb xauth x11-utils libx11-dev imagemagick faketime
  fonts-ipafont-gothic fonts-ipafont-mincho locales
  python3
  clang libclang-rt-14-dev libstb-dev
  vorbis-tools sox
  espeak-ng
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine needs the Japanese locale to run with code page 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "generating ja_JP.UTF-8"
  $SUDO sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
