#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine. Idempotent: packages already
# present are skipped, so a second run costs one dpkg query.
set -euo pipefail

packages=(
  cmake make g++ googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
  wine wine64 fonts-wine xvfb xauth x11-utils libx11-dev imagemagick faketime
  fonts-ipafont-gothic fonts-ipafont-mincho fonts-horai-umefont locales
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

# The tests run Wine under two locales: Japanese (code page 932, as on Japanese Windows) and
# English (code page 1252, as on most systems outside Japan). The program needs neither.
for wanted in ja_JP en_US; do
  locale -a 2>/dev/null | grep -qi "^$wanted\.utf-\?8$" && continue
  echo "generating $wanted.UTF-8"
  $SUDO sed -i "s/^# *$wanted.UTF-8 UTF-8/$wanted.UTF-8 UTF-8/" /etc/locale.gen
  grep -q "^$wanted.UTF-8 UTF-8" /etc/locale.gen || echo "$wanted.UTF-8 UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
done
