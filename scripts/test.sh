#!/usr/bin/env bash
# Installs what is missing, builds the module and its tests, and runs the
# whole test suite under Wine with a virtual X display.
#   scripts/test.sh            both builds, 32-bit then 64-bit (= all)
#   scripts/test.sh i686       the 32-bit module only (build/i686)
#   scripts/test.sh x86_64     the 64-bit module only (build/x86_64)
set -euo pipefail
source "$(dirname "$0")/lib.sh"

archs=${1:-all}
[ "$archs" = all ] && archs="i686 x86_64"

if [ -z "${QV_IN_X:-}" ]; then
  qv_install_deps
  for a in $archs; do qv_log "building $a"; qv_build "$a"; done
  # Windows need an X display: run the rest under a private Xvfb.
  qv_rerun_in_x 1280x1024x24 "$0" "$@"
fi

rc=0
for a in $archs; do
  qv_log "testing $a"
  qv_wine_start "$a" || { rc=1; qv_wine_stop "$a"; continue; }
  (cd "$QV_BUILD/$a" && ctest --output-on-failure -j"$(nproc)" --timeout 300) || rc=1
  qv_wine_stop "$a"
done
exit $rc
