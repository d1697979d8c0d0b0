#!/usr/bin/env bash
# Builds the release archives from the last commit, in a clean clone:
#   dist/qvoptinf-<version>-x86.zip and dist/qvoptinf-<version>-x64.zip,
# checks them, and prints the SHA-256 of each module and archive.
#
#   scripts/dist.sh                     both archives
#   scripts/dist.sh --verify            also builds each archive once more, in
#                                       another folder and at another time, and
#                                       checks that the bytes are the same
#   scripts/dist.sh --sign CERT KEY     signs both modules with the vendor's
#                                       certificate and key (PEM), no timestamp
#   scripts/dist.sh --package BUILD_DIR ARCH OUT_DIR
#                                       packs and checks one archive from an
#                                       existing build (the test suite uses it)
#
# Uncommitted changes are not in the archives: they are built from HEAD.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

qv_version() {
  sed -n 's/^project(qvoptinf VERSION \([0-9.]*\).*/\1/p' "$QV_ROOT/CMakeLists.txt"
}

# The archive's name for a build flavour.
qv_arch_label() { [ "$1" = x86_64 ] && echo x64 || echo x86; }

# Installs the release files of a build into a folder, signs the module when
# asked, zips the folder and checks the archive.
qv_package() {
  local build=$1 arch=$2 out=$3 version label stage
  version=$(qv_version)
  label=$(qv_arch_label "$arch")
  stage=$(mktemp -d)
  cmake --install "$build" --prefix "$stage/qvoptinf-$version-$label" >/dev/null
  if [ -n "${QV_SIGN_CERT:-}" ]; then
    local dll="$stage/qvoptinf-$version-$label/qvoptinf.dll"
    osslsigncode sign -certs "$QV_SIGN_CERT" -key "$QV_SIGN_KEY" -h sha256 \
      -n "qvoptinf $version" -in "$dll" -out "$dll.signed" >/dev/null
    mv "$dll.signed" "$dll"
  fi
  mkdir -p "$out"
  local zip="$out/qvoptinf-$version-$label.zip"
  rm -f "$zip"
  python3 "$QV_ROOT/scripts/zip_folder.py" "$stage/qvoptinf-$version-$label" "$zip"
  python3 "$QV_ROOT/scripts/check_archive.py" "$zip" "$version" "$label" >&2
  sha256sum "$stage/qvoptinf-$version-$label/qvoptinf.dll" | sed "s|  .*|  qvoptinf-$version-$label/qvoptinf.dll|"
  rm -rf "$stage"
}

# Clones HEAD into folder and builds the module and nothing of the tests.
qv_clean_build() {
  local arch=$1 folder=$2
  git clone --quiet --no-local "$QV_ROOT" "$folder/src"
  git -C "$folder/src" checkout --quiet "$(git -C "$QV_ROOT" rev-parse HEAD)"
  cmake -S "$folder/src" -B "$folder/build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$folder/src/cmake/toolchain-$arch-mingw.cmake" $(qv_llvm_dlltool_option) >/dev/null
  cmake --build "$folder/build" --target qvoptinf -j"$(nproc)" >/dev/null
}

if [ "${1:-}" = --package ]; then
  qv_package "$2" "$3" "$4"
  exit 0
fi

verify=0
while [ $# -gt 0 ]; do
  case $1 in
    --verify) verify=1; shift ;;
    --sign)
      [ $# -ge 3 ] || { echo "usage: scripts/dist.sh [--verify] [--sign CERT KEY]" >&2; exit 2; }
      export QV_SIGN_CERT=$(realpath "$2") QV_SIGN_KEY=$(realpath "$3"); shift 3 ;;
    *) echo "usage: scripts/dist.sh [--verify] [--sign CERT KEY]" >&2; exit 2 ;;
  esac
done

qv_install_deps
[ -z "$(git -C "$QV_ROOT" status --porcelain)" ] ||
  qv_log "the work tree has uncommitted changes: the archives are built from HEAD without them"
# The module's time stamp, and the archives' dates, are the last commit's.
SOURCE_DATE_EPOCH=$(git -C "$QV_ROOT" log -1 --format=%ct)
export SOURCE_DATE_EPOCH
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
version=$(qv_version)
echo "qvoptinf $version, commit $(git -C "$QV_ROOT" rev-parse --short HEAD), SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH"
for arch in i686 x86_64; do
  qv_log "building $arch from a clean clone"
  qv_clean_build "$arch" "$work/$arch"
  qv_package "$work/$arch/build" "$arch" "$QV_ROOT/dist"
done
(cd "$QV_ROOT/dist" && sha256sum "qvoptinf-$version-x86.zip" "qvoptinf-$version-x64.zip")

if [ $verify = 1 ]; then
  rc=0
  for arch in i686 x86_64; do
    qv_log "building $arch once more, elsewhere, to compare"
    sleep 1   # another time too: nothing of the clock may reach the archive
    qv_clean_build "$arch" "$work/again-$arch"
    qv_package "$work/again-$arch/build" "$arch" "$work/again-dist" >/dev/null
    zip="qvoptinf-$version-$(qv_arch_label "$arch").zip"
    if cmp -s "$QV_ROOT/dist/$zip" "$work/again-dist/$zip"; then
      echo "reproducible: $zip (module, symbols, import libraries) built twice is the same to the byte"
    else
      echo "NOT reproducible: $zip differs when built twice"; rc=1
    fi
  done
  exit $rc
fi
