#!/usr/bin/env bash
# Renders the option dialog in its three forms to docs/images/ under a private
# Xvfb: Answered, Awaiting sheet and Sheet printed.
#   scripts/render-dialog.sh
set -euo pipefail
source "$(dirname "$0")/lib.sh"

if [ -z "${QV_IN_X:-}" ]; then
  qv_install_deps
  qv_build i686
  QV_IN_X=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

out="$QV_ROOT/docs/images"
mkdir -p "$out"
qv_wine_start i686
bin="$QV_BUILD/i686/bin"
record=1,6,30,32,34,36,38,40,1,64,1,1

shoot() {
  local name=$1; shift
  (cd "$bin" && $QV_WINE qvdialog.exe "$@" --close-after 6000 >/dev/null 2>&1) &
  local pid=$!
  sleep 4
  # The dialog sits at the top left of the screen; keep its rectangle only.
  import -window root -crop 420x480+0+0 +repage "$out/$name.png"
  wait $pid || true
  qv_log "wrote $out/$name.png"
}

shoot dialog-answered --answered --current "$record"
shoot dialog-awaiting-sheet --current "$record"
shoot dialog-sheet-printed --sheet-printed --current "$record"
qv_wine_stop i686
