#!/usr/bin/env bash
# Builds the 32-bit module if needed and runs the benchmark under Wine:
# QVOpenPrinterInf against the floor of its own library calls, through the
# fake XKAPI.DLL.
#   scripts/bench.sh                      2000 calls per round, 5 rounds
#   scripts/bench.sh --calls 5000 --rounds 7
set -euo pipefail
source "$(dirname "$0")/lib.sh"

if [ -z "${QV_IN_X:-}" ]; then
  qv_install_deps
  qv_build i686
  qv_rerun_in_x 1280x1024x8 "$0" "$@"
fi

qv_wine_start i686
rc=0
(cd "$QV_BUILD/i686/bin" && $QV_WINE ./qvbench.exe "$@") || rc=$?
qv_wine_stop i686
exit $rc
