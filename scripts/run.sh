#!/usr/bin/env bash
# Installs what is missing, builds the 32-bit module and the printer
# simulator, and asks the simulated printer for its option information
# through qvoptinf.dll, as a driver's user interface would:
#   scripts/run.sh [PRINTER [MODEL]]
#   scripts/run.sh --preset NAME [PRINTER [MODEL]]   first puts the preset
#       tools/simulator/presets/NAME.ini in place as the simulator's settings
#   scripts/run.sh --list-presets                     lists the presets
#   QV_ARCH=x86_64 scripts/run.sh ...   the same with the 64-bit build
# What the simulated printer reports is set in build/<arch>/sim/xkapi-sim.ini.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

presets="$QV_ROOT/tools/simulator/presets"

# One line per preset: its name and the first comment line of its file.
list_presets() {
  local file
  for file in "$presets"/*.ini; do
    printf '%-22s %s\n' "$(basename "$file" .ini)" "$(sed -n '1s/^; *//p' "$file")"
  done
}

preset=
case ${1:-} in
  --list-presets) list_presets; exit 0 ;;
  --preset)
    preset=${2:-}
    if [ -z "$preset" ] || [ ! -f "$presets/$preset.ini" ]; then
      printf 'run.sh: no preset "%s"; the presets are:\n' "$preset" >&2
      list_presets >&2
      exit 2
    fi
    shift 2 ;;
  -*) printf 'usage: scripts/run.sh [--preset NAME] [PRINTER [MODEL]] | --list-presets\n' >&2; exit 2 ;;
esac

printer=${1:-Simulated printer}
model=${2:-Marlow Wide 900}
arch=${QV_ARCH:-i686}

qv_install_deps
qv_log "building $arch"
qv_build "$arch"
qv_wine_start "$arch"
cd "$QV_BUILD/$arch/sim"
if [ -n "$preset" ]; then
  # Settings of the user's own (neither a preset nor the ones the build
  # wrote) are kept aside before the preset replaces them.
  if [ -f xkapi-sim.ini ] && ! cmp -s xkapi-sim.ini "$presets/$preset.ini"; then
    own=1
    for file in "$presets"/*.ini "$QV_ROOT/tools/simulator/xkapi-sim.ini"; do
      cmp -s xkapi-sim.ini "$file" && own=0
    done
    if [ $own = 1 ]; then
      cp xkapi-sim.ini xkapi-sim.ini.saved
      qv_log "your settings were saved as $PWD/xkapi-sim.ini.saved"
    fi
  fi
  cp "$presets/$preset.ini" xkapi-sim.ini
  qv_log "preset $preset: $(sed -n '1s/^; *//p' xkapi-sim.ini)"
fi
qv_log "asking the simulated printer (settings: $PWD/xkapi-sim.ini)"
$QV_WINE qvhost.exe --query "$printer" "$model" </dev/null
