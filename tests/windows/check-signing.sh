#!/usr/bin/env bash
# Signing the release: tools/build-release --sign with a throwaway self-signed certificate gives
# Authenticode signatures that osslsigncode verifies on the DLL (in the zip and as the setup
# program installs it), on the setup program, and on the uninstaller the setup program writes
# when it runs (under Wine); the password is taken only from the environment.
#
# Usage: check-signing.sh SOURCE_COPY PREFIX
#   SOURCE_COPY  a copy of the sources whose unsigned release is built; it is rebuilt signed
#   PREFIX       the Wine prefix to make and use; made afresh each time
set -uo pipefail
copy=$(realpath "${1:?a copy of the sources}")
prefix=$(realpath -m "${2:?Wine prefix}")
release=$copy/build/release
work=$(mktemp -d "${TMPDIR:-/tmp}/vb-signing.XXXXXX")
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/check-common.sh"

# A verification that passes only with the certificate: an unsigned file must fail it.
verify() { osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >"$work/verify.log" 2>&1; }
signed() {
  if verify "$1"; then
    pass "$2 carries a signature osslsigncode verifies"
  else
    fail "$2 carries no signature osslsigncode verifies:"
    sed 's/^/    /' "$work/verify.log"
  fi
}

setups=("$release"/vorlanbrisane-*-win64-setup.exe)
[ -f "${setups[0]}" ] || {
  echo "FAIL: no unsigned release in $release"
  exit 1
}
cp "${setups[0]}" "$work/unsigned-setup.exe"

# The password reaches openssl through its environment, as it reaches the build.
export password="throwaway $RANDOM$RANDOM"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" \
  -days 2 -subj "/CN=Vorlan Brisane test signer" \
  -addext "extendedKeyUsage=codeSigning" -addext "keyUsage=digitalSignature" \
  >"$work/openssl.log" 2>&1 &&
  openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -name test \
    -out "$work/cert.pfx" -passout env:password >>"$work/openssl.log" 2>&1
[ -s "$work/cert.pfx" ] || {
  echo "FAIL: openssl made no certificate:"
  cat "$work/openssl.log"
  exit 1
}

if verify "$work/unsigned-setup.exe"; then
  fail "the unsigned setup program passes the verification: it proves nothing"
fi

# Without its password in the environment, signing does not start.
(cd "$copy" && env -u VB_SIGN_PASSWORD tools/build-release --sign "$work/cert.pfx") \
  >"$work/nopassword.log" 2>&1
status=$?
if ((status == 2)) && grep -q VB_SIGN_PASSWORD "$work/nopassword.log"; then
  pass "--sign without VB_SIGN_PASSWORD is refused"
else
  fail "--sign without VB_SIGN_PASSWORD exits with $status:"
  sed 's/^/    /' "$work/nopassword.log"
fi

if ! (cd "$copy" && VB_SIGN_PASSWORD=$password tools/build-release --sign "$work/cert.pfx") \
  >"$work/build.log" 2>&1; then
  echo "FAIL: tools/build-release --sign:"
  cat "$work/build.log"
  exit 1
fi
if grep -rqF "$password" "$work/build.log" "$release"/*.log 2>/dev/null; then
  fail "the password appears in the build's output"
fi

zips=("$release"/vorlanbrisane-*-win64.zip)
setup=${zips[0]%.zip}-setup.exe
unzip -q "${zips[0]}" -d "$work/unpacked"
signed "$work/unpacked/vorlanbrisane64.fxt" "the zip's vorlanbrisane64.fxt"
(cd "$work/unpacked" && sha256sum --quiet -c SHA256SUMS) ||
  fail "the zip's SHA256SUMS does not match its signed files"
signed "$setup" "the setup program"
(cd "$release" && sha256sum --quiet -c SHA256SUMS) ||
  fail "the release's SHA256SUMS does not match its signed files"

# The uninstaller exists only once the setup program has run.
rm -rf "$prefix" "$prefix.new"
wine_run=("$copy/tools/wine-run" --prefix "$prefix")
"${wine_run[@]}" --init >/dev/null || {
  echo "FAIL: no Wine prefix"
  exit 1
}
finale=$prefix/drive_c/Program\ Files/MakeMusic/Finale/27
mkdir -p "$finale"
echo "Finale 27" >"$finale/Finale.exe"
if "${wine_run[@]}" "$setup" /S >"$work/wine.log" 2>&1; then
  signed "$prefix/drive_c/Program Files/Vorlan Brisane/uninstall.exe" \
    "the uninstaller the setup program writes"
  signed "$finale/Plug-ins/vorlanbrisane64.fxt" "the installed vorlanbrisane64.fxt"
else
  fail "the signed setup program exits with $? under Wine:"
  sed 's/^/    /' "$work/wine.log"
fi

exit $((failures > 0))
