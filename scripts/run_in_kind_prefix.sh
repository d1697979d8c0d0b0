#!/usr/bin/env bash
# Runs a test program under a Windows version that Wine reports only
# machine-wide, in a prefix of its own (see qv_wine_kind_prefix):
#   scripts/run_in_kind_prefix.sh ARCH KIND PROGRAM.exe [ARGS...]
# ARCH is the build flavour (i686 or x86_64): it picks the main prefix the
# kind's prefix is made from and the Wine loader. ctest calls it for the
# platform kinds 2, 3 and 4.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
arch=$1 kind=$2; shift 2
qv_wine_env "$arch"
prefix=$(qv_wine_kind_prefix "$kind" "$arch")
export WINEPREFIX=$prefix
# A persistent server, detached from ctest's pipes, before the program runs.
qv_wine_server
exec $QV_WINE "$@"
