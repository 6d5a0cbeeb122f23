#!/usr/bin/env bash
# The project's own Wine: a prefix under build/wine with quiet logging, the design fonts
# replaced by Ume fonts made to their metrics (set_font_replacements), the Marlett font of the
# caption buttons and a null ALSA device, leaving the user's ~/.wine and ~/.asoundrc alone.
#
#   tools/wine-env.sh setup                      create the prefix (once; later calls only add
#                                                what an older prefix lacks)
#   tools/wine-env.sh run PROGRAM.EXE [ARGS...]  run a Windows program in it, waiting for it
#   tools/wine-env.sh exec COMMAND [ARGS...]     run any command with the environment set
#                                                (e.g. "exec wine reg query ...")
# Without $DISPLAY, run and exec start a private virtual X server for the command.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
WINE_HOME="$ROOT/build/wine"
export WINEPREFIX="$WINE_HOME/prefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
# The locale, and with it the system code page of every Wine process: WINE_LANG, or C.UTF-8
# (code page 1252, present on every Debian machine) unless set. The program needs no Japanese
# locale; the tests run under ja_JP.UTF-8 (code page 932) and en_US.UTF-8 (1252).
export LANG="${WINE_LANG:-C.UTF-8}" LC_ALL="${WINE_LANG:-C.UTF-8}"
export ALSA_CONFIG_PATH="$WINE_HOME/asound.conf"
WINE=wine
command -v wine64 >/dev/null 2>&1 && [ ! -x "$(command -v wine)" ] && WINE=wine64

write_alsa_config() {
  mkdir -p "$WINE_HOME"
  # Replaces the system configuration for this Wine only, so include the base definitions,
  # then send every sound nowhere: playback works, and completes on time, without a sound card.
  cat > "$ALSA_CONFIG_PATH" <<'ALSA'
</usr/share/alsa/alsa.conf>
pcm.!default { type null }
ALSA
}

with_display() {
  if [ -n "${DISPLAY:-}" ]; then
    "$@"
    return
  fi
  local n=$(( 90 + RANDOM % 400 ))
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  local xvfb=$!
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  local status=0
  DISPLAY=":$n" "$@" || status=$?
  DISPLAY=":$n" "$WINE"server -k >/dev/null 2>&1 || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  return "$status"
}

# Wine draws the caption buttons of framed windows (minimise, maximise, close) as glyphs of the
# Marlett font. Debian's fonts-wine puts marlett.ttf in /usr/share/wine/fonts, a folder that
# Debian's Wine does not search, and the prefix's own C:\windows\Fonts is empty: the buttons came
# out as the letters "0 1 r". A copy in the prefix's font folder makes them symbols. Checked on
# every call, so that a prefix made before this gets it too.
install_symbol_font() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  [ -f "$fonts/marlett.ttf" ] && return 0
  mkdir -p "$fonts"
  cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
}

# The design fonts' stand-ins. The windows were designed for "MS UI Gothic", whose kana are
# narrower than IPA P Gothic's: with IPA P Gothic several captions were cut or ran into the
# control beside them. Ume UI Gothic (fonts-horai-umefont) is made to the metrics of MS UI
# Gothic, Ume P Gothic to those of ＭＳ Ｐゴシック (measured in tests/wine/caption_fit_wine_test.cpp).
# Set on every prefix that has not got them yet (marked by fonts-ume in build/wine).
set_font_replacements() {
  local replacements='HKCU\Software\Wine\Fonts\Replacements'
  "$WINE" reg add "$replacements" /v "MS UI Gothic" /d "Ume UI Gothic" /f >/dev/null 2>&1
  "$WINE" reg add "$replacements" /v "ＭＳ Ｐゴシック" /d "Ume P Gothic" /f >/dev/null 2>&1
  "$WINE" reg add "$replacements" /v "ＭＳ ゴシック" /d "IPAGothic" /f >/dev/null 2>&1
  "$WINE"server -w
  touch "$WINE_HOME/fonts-ume"
}

setup() {
  if [ ! -f "$WINE_HOME/ready" ]; then
    create_prefix
  fi
  [ -f "$WINE_HOME/fonts-ume" ] || set_font_replacements
  install_symbol_font
}

create_prefix() {
  mkdir -p "$WINE_HOME"
  write_alsa_config
  echo "creating the Wine prefix in $WINEPREFIX"
  "$WINE"boot -i >/dev/null 2>&1 || true
  "$WINE"server -w
  set_font_replacements
  touch "$WINE_HOME/ready"
}

case "${1:-}" in
  setup) setup ;;
  run)
    shift
    setup
    with_display "$WINE" "$@"
    ;;
  exec)
    shift
    setup
    with_display "$@"
    ;;
  *)
    sed -n '2,12p' "$0"
    exit 2
    ;;
esac
