#!/usr/bin/env bash
# Installs what is missing, builds the 32-bit module and the printer
# simulator, and asks the simulated printer for its option information
# through qvoptinf.dll, as a driver's user interface would:
#   scripts/run.sh [PRINTER [MODEL]]
# What the simulated printer reports is set in build/i686/sim/xkapi-sim.ini.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

printer=${1:-Simulated printer}
model=${2:-Marlow Wide 900}

qv_install_deps
qv_log "building i686"
qv_build i686
qv_wine_start i686
cd "$QV_BUILD/i686/sim"
qv_log "asking the simulated printer (settings: $PWD/xkapi-sim.ini)"
$QV_WINE qvhost.exe --query "$printer" "$model" </dev/null
