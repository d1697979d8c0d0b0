#!/usr/bin/env bash
# The release archive of one build, as scripts/dist.sh packs it: complete and
# consistent (scripts/check_archive.py, which dist.sh runs on every archive it
# writes), and once more signed with a throwaway self-signed certificate made
# here: osslsigncode accepts the signature, and the signed module still
# passes the module image test and answers a call of its export.
#   release_test.sh BUILD_DIR i686|x86_64
set -euo pipefail
build=$1 arch=$2
source "$(dirname "$0")/../../scripts/lib.sh"
qv_wine_env "$arch"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$QV_ROOT/scripts/dist.sh" --package "$build" "$arch" "$work/plain" >/dev/null

openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=qvoptinf test signer" \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
QV_SIGN_CERT="$work/cert.pem" QV_SIGN_KEY="$work/key.pem" \
  "$QV_ROOT/scripts/dist.sh" --package "$build" "$arch" "$work/signed" >/dev/null
mkdir "$work/run"
python3 - "$work"/signed/*.zip "$work/run/qvoptinf.dll" <<'PY'
import sys, zipfile
archive = zipfile.ZipFile(sys.argv[1])
name = next(n for n in archive.namelist() if n.endswith("/qvoptinf.dll"))
open(sys.argv[2], "wb").write(archive.read(name))
PY
if cmp -s "$work/run/qvoptinf.dll" "$build/bin/qvoptinf.dll"; then
  echo "the archive's module is not signed"; exit 1
fi
osslsigncode verify -CAfile "$work/cert.pem" -in "$work/run/qvoptinf.dll" | grep -q "Signature verification: ok" ||
  { echo "osslsigncode does not accept the signature"; exit 1; }

# The image test and the host, beside the signed module (each loads the
# module from its own folder).
cp "$build/bin/module_image.exe" "$build/bin/qvhost.exe" "$work/run/"
(cd "$work/run" && $QV_WINE module_image.exe --gtest_brief=1) ||
  { echo "the signed module fails the image test"; exit 1; }
out=$(cd "$work/run" && $QV_WINE qvhost.exe --json "Signed" "Marlow Wide 900" 2>&1) || true
case $out in
  *'"result": 1'*) echo "signed module: signature ok, image test passed, export answered" ;;
  *) echo "the signed module's export did not answer: $out"; exit 1 ;;
esac
