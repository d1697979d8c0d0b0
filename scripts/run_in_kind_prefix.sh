#!/usr/bin/env bash
# Runs a test program under a Windows version that Wine reports only
# machine-wide, in a prefix of its own (see qv_wine_kind_prefix):
#   scripts/run_in_kind_prefix.sh KIND PROGRAM.exe [ARGS...]
# ctest calls it for the platform kinds 2, 3 and 4.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
kind=$1; shift
qv_wine_env i686
prefix=$(qv_wine_kind_prefix "$kind" i686)
export WINEPREFIX=$prefix
# A persistent server, detached from ctest's pipes, before the program runs.
(wineserver -p </dev/null >/dev/null 2>&1 &)
$QV_WINE wineboot </dev/null >/dev/null 2>&1
exec $QV_WINE "$@"
