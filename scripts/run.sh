#!/usr/bin/env bash
# Installs what is missing, builds the 32-bit module and the printer
# simulator, and asks the simulated printer for its option information
# through qvoptinf.dll, as a driver's user interface would:
#   scripts/run.sh [PRINTER [MODEL]]
#   QV_ARCH=x86_64 scripts/run.sh ...   the same with the 64-bit build
# What the simulated printer reports is set in build/<arch>/sim/xkapi-sim.ini.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

printer=${1:-Simulated printer}
model=${2:-Marlow Wide 900}
arch=${QV_ARCH:-i686}

qv_install_deps
qv_log "building $arch"
qv_build "$arch"
qv_wine_start "$arch"
cd "$QV_BUILD/$arch/sim"
qv_log "asking the simulated printer (settings: $PWD/xkapi-sim.ini)"
$QV_WINE qvhost.exe --query "$printer" "$model" </dev/null
