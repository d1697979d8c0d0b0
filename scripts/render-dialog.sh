#!/usr/bin/env bash
# Renders the option dialog in its three forms to docs/images/ under a private
# Xvfb: Answered, Awaiting sheet and Sheet printed, at 100 % (96 DPI) and at
# 150 % (144 DPI, files ending in -150). Each picture is cropped to the
# dialog's window rectangle.
#
# It also checks that every text fits its control, measured in the dialog's
# font (qvdialog --check-fit), prints each one that does not and then exits 1.
#   scripts/render-dialog.sh                   # the pictures of the README
#   scripts/render-dialog.sh --fallback-fonts  # without Wine's own fonts, as
#       a bare prefix draws it, into build/i686/render-fallback/ (not docs/)
#
# The dialog asks for "MS Sans Serif". The pictures come from a Wine prefix of
# their own (not the tests' one) whose Fonts folder holds Wine's own fonts
# (package fonts-wine): the bitmap MS Sans Serif (sserife.fon at 96 DPI,
# sseriff.fon from 120 DPI on) with that font's metrics, Marlett for the
# caption buttons and Tahoma for the caption. Wine 8 as Debian packages it
# looks for these under the unresolved path "/usr/lib/wine/../../share/wine/
# fonts" and never finds them, so a bare prefix falls back to DejaVu Sans and
# draws a letter "r" for the close box; the fonts in a prefix's own Fonts
# folder are always loaded. The prefix also takes the classic colours of
# Windows 2000 in place of Wine's own light grey and blue ones.
#
# At 96 DPI the pictures (not the fallback ones) are drawn without font
# smoothing. Wine takes its antialiasing default from fontconfig, not from the
# prefix's FontSmoothing value, and Wine's Marlett asks for grey antialiasing
# at every size: its close glyph at 96 DPI then comes out as a faint cross of
# single-pixel strokes with grey edges, where Windows draws a bold cross of
# two-pixel strokes. Nothing
# else changes there (the dialog's font is a bitmap font and Tahoma's own table
# keeps the caption unsmoothed at that size), so a fontconfig file of the
# script's own turns antialiasing off for those shots. At 144 DPI smoothing
# stays on: without it Wine's bold Tahoma draws the caption with uneven gaps
# between letters, and the Marlett cross is bold enough smoothed.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

fonts=wine
[ "${1:-}" = --fallback-fonts ] && fonts=fallback

if [ -z "${QV_IN_X:-}" ]; then
  qv_install_deps
  if [ $fonts = wine ] && [ ! -f /usr/share/wine/fonts/sserife.fon ]; then
    qv_sudo apt-get update -qq
    qv_apt_install fonts-wine
  fi
  qv_build i686
  qv_rerun_in_x 1024x768x24 "$0" "$@"
fi

bin="$QV_BUILD/i686/bin"
record=1,6,30,32,34,36,38,40,1,64,1,1
out="$QV_ROOT/docs/images"
[ $fonts = fallback ] && out="$QV_BUILD/i686/render-fallback"
mkdir -p "$out"

qv_wine_env i686
export WINEPREFIX="$QV_BUILD/i686/renderprefix-$fonts"
unsmoothed="$QV_BUILD/i686/render-unsmoothed-fonts.conf"
cat >"$unsmoothed" <<'EOF'
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <match target="font"><edit name="antialias" mode="assign"><bool>false</bool></edit></match>
</fontconfig>
EOF
reg_add() { $QV_WINE reg add "$@" /f </dev/null >/dev/null 2>&1; }

if [ ! -f "$WINEPREFIX/.qv-render-ready" ]; then
  qv_log "creating Wine prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  qv_logged $QV_WINE wineboot --init
  qv_logged wineserver -w
  [ $fonts = wine ] && cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
  reg_add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
  # No window manager under Xvfb: Wine draws the caption and frame itself.
  reg_add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
  while read -r name rgb; do
    reg_add 'HKCU\Control Panel\Colors' /v "$name" /d "$rgb"
  done <<'EOF'
ActiveBorder 212 208 200
ActiveTitle 10 36 106
AppWorkSpace 128 128 128
Background 58 110 165
ButtonAlternateFace 181 181 181
ButtonDkShadow 64 64 64
ButtonFace 212 208 200
ButtonHilight 255 255 255
ButtonLight 212 208 200
ButtonShadow 128 128 128
ButtonText 0 0 0
GradientActiveTitle 166 202 240
GradientInactiveTitle 192 192 192
GrayText 128 128 128
Hilight 10 36 106
HilightText 255 255 255
HotTrackingColor 0 0 128
InactiveBorder 212 208 200
InactiveTitle 128 128 128
InactiveTitleText 212 208 200
InfoText 0 0 0
InfoWindow 255 255 225
Menu 212 208 200
MenuBar 212 208 200
MenuHilight 10 36 106
MenuText 0 0 0
Scrollbar 212 208 200
TitleText 255 255 255
Window 255 255 255
WindowFrame 0 0 0
WindowText 0 0 0
EOF
  wineserver -w
  touch "$WINEPREFIX/.qv-render-ready"
fi

log=$(mktemp)
trap 'rm -f "$log"; wineserver -k >/dev/null 2>&1 || true' EXIT
misfits=0

# One picture: runs qvdialog, waits until it prints its window rectangle,
# photographs that rectangle and collects the texts that do not fit.
shoot() {
  local name=$1; shift
  (cd "$bin" && exec $QV_WINE qvdialog.exe "$@" --check-fit --active-caption --close-after 6000 >"$log" 2>/dev/null) &
  local pid=$! waited=0 rect=
  while [ -z "$rect" ]; do
    rect=$(tr -d '\r' <"$log" | awk '$1 == "window" { print $2, $3, $4, $5; exit }')
    [ -n "$rect" ] && break
    if [ $waited -ge 300 ] || ! kill -0 $pid 2>/dev/null; then
      qv_log "$name: the dialog did not come up"; wait $pid || true; return 1
    fi
    sleep 0.1; waited=$((waited + 1))
  done
  sleep 1   # let it paint
  local left top right bottom
  read -r left top right bottom <<<"$rect"
  local size="$((right - left))x$((bottom - top))"
  import -window root -crop "$size+$left+$top" +repage "$out/$name.png"
  if ! kill -0 $pid 2>/dev/null; then
    qv_log "$name: the dialog closed before it was photographed"; return 1
  fi
  wait $pid || true
  sed -i 's/\r$//' "$log"
  if grep -q '^does not fit:' "$log"; then
    sed -n "s/^does not fit: /$name: does not fit: /p" "$log"
    misfits=$((misfits + 1))
  fi
  qv_log "wrote $out/$name.png ($size; $(grep '^texts measured' "$log"))"
}

qv_wine_server
for dpi in 96 144; do
  suffix=; [ $dpi = 144 ] && suffix=-150
  # Each process reads the display resolution when it starts.
  reg_add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi
  if [ $dpi = 96 ] && [ $fonts = wine ]; then export FONTCONFIG_FILE="$unsmoothed"
  else unset FONTCONFIG_FILE; fi
  shoot dialog-answered$suffix --answered --current "$record"
  shoot dialog-awaiting-sheet$suffix --current "$record"
  shoot dialog-sheet-printed$suffix --sheet-printed --current "$record"
done

if [ $misfits -gt 0 ]; then
  qv_log "$misfits picture(s) with a text that does not fit its control (above)"
  exit 1
fi
qv_log "every text fits its control in every picture"
