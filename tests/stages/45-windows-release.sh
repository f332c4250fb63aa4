#!/usr/bin/env bash
# Releasing for Windows from Linux: a throw-away CA, a signed x64 image and per-user installer
# checked with osslsigncode and msiinfo, and installed, started (against the jvm.dll test double),
# upgraded and uninstalled under Wine. Skips when a tool is missing.
set -uo pipefail
cd "$(dirname "$0")/../.."
work=$PWD/build/release-stage
prefix=$PWD/build/release-stage-wine  # kept between runs: a new prefix takes a while
pack=$PWD/build/plenwick-pack
jar=$PWD/build/tests/jars/probe.jar
fake_jvm=$PWD/build-windows-x64/fake-jvm/jvm.dll
. tests/stage-steps.sh

for tool in wixl msiinfo osslsigncode openssl wine convert; do
  command -v "$tool" >/dev/null ||
    { echo "--- skipped: no $tool (Debian packages wixl msitools osslsigncode openssl wine imagemagick)"; exit 0; }
done
for file in build-windows-x64/launcher.exe "$fake_jvm" "$pack" "$jar"; do
  [ -e "$file" ] || { echo "--- skipped: no $file (Linux build and tests/stages/30-windows.sh)"; exit 0; }
done

make_certificates() {
  local k=$work/keys
  mkdir -p "$k" && cd "$k" || return 1
  openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 30 -subj "/CN=Release Test CA" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign" &&
    openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr \
      -subj "/CN=Plenwick Test Signer/O=Plenwick Tests" &&
    printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >code.ext &&
    printf 'basicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' >web.ext &&
    openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 10 -extfile code.ext -out signer.pem &&
    openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 10 -extfile web.ext -out web.pem &&
    openssl pkcs12 -export -in signer.pem -inkey signer.key -certfile ca.pem -passout pass:s3cret -out signer.p12
  local status=$?
  cd - >/dev/null
  return $status
} >"$work/openssl.log" 2>&1

write_config() {
  mkdir -p "$work/runtime/bin/server" "$work/jars" &&
    cp "$fake_jvm" "$work/runtime/bin/server/jvm.dll" &&
    cp "$jar" "$work/jars/probe.jar" && cp "$jar" "$work/jars/only-in-1.0.jar" &&
    convert -size 256x256 radial-gradient:'#c03080'-none "PNG32:$work/doc.png" &&
    cat >"$work/app.json" <<JSON
{
  "name": "Rel.App", "displayName": "Release Demo", "version": "1.0", "publisher": "Plenwick Tests",
  "mainClass": "probe.Probe", "jars": ["jars"], "jvmOptions": ["-Dapp.dir=&&"],
  "target": "windows-x64", "runtime": "runtime", "launcher": "$PWD/build-windows-x64/launcher.exe",
  "output": "x64-1.0", "installer": "app-1.0.msi",
  "fileAssociations": [{"extension": "pwdoc", "mimeType": "application/x-plenwick-doc",
                        "description": "Release Demo document", "icon": "doc.png"}],
  "sign": {"certificate": "keys/signer.p12", "passwordEnv": "RELEASE_TEST_PASSWORD"}
}
JSON
}

make_installer() {
  RELEASE_TEST_PASSWORD=s3cret "$pack" installer "$work/app.json" >"$work/installer.log" 2>&1 ||
    { cat "$work/installer.log"; return 1; }
  [ "$(grep -c 'no timestampUrl given' "$work/installer.log")" = 1 ] ||
    { echo "the missing timestamp server was not said exactly once:"; cat "$work/installer.log"; return 1; }
}

verify_signatures() {
  local exe=$work/x64-1.0/bin/Rel.App.exe msi=$work/app-1.0.msi f
  for f in "$exe" "$msi"; do
    osslsigncode verify -CAfile "$work/keys/ca.pem" -in "$f" >"$work/verify.log" 2>&1 ||
      { echo "not verified: $f"; tail -5 "$work/verify.log"; return 1; }
  done
  # An unsigned installer from the image, then signed alone with the PEM certificate and key.
  "$pack" installer --image "$work/x64-1.0" --installer "$work/plain.msi" >/dev/null &&
    "$pack" sign "$work/plain.msi" --certificate "$work/keys/signer.pem" --key "$work/keys/signer.key" \
      --output "$work/pem-signed.msi" >/dev/null &&
    osslsigncode verify -CAfile "$work/keys/ca.pem" -in "$work/pem-signed.msi" >/dev/null 2>&1 ||
    { echo "installer --image and sign with a PEM certificate failed"; return 1; }
  "$pack" show "$exe" | grep -cx "signer: CN=Plenwick Test Signer, O=Plenwick Tests" >/dev/null ||
    { "$pack" show "$exe" | tail -3; return 1; }
  echo "launcher and installer verify against the test CA; show names the signer"
}

# Files, shortcut, directory and upgrade rows are proven by installing under Wine below; what
# Wine would not refuse is checked here: no ALLUSERS, and a compressed package needing no elevation.
check_scope() {
  local msi=$work/app-1.0.msi
  ! msiinfo export "$msi" Property | grep -c ALLUSERS >/dev/null &&
    msiinfo suminfo "$msi" | grep -c "Template: Intel;1033" >/dev/null &&
    msiinfo suminfo "$msi" | grep -c "Source: 10 " >/dev/null || { msiinfo suminfo "$msi"; return 1; }
  echo "per user: no ALLUSERS, no elevation"
}

wine_run() {
  (unset DISPLAY; WINEPREFIX=$prefix WINEDEBUG=-all "$@" >"$work/wine.log" 2>&1)
}

# Wine 8's shell reads HKEY_CLASSES_ROOT without the user's classes, which Windows merges into
# it: for the open, the installed keys are copied there, and removed again after it.
user_classes_to_shell() {
  local key
  for key in .pwdoc Rel.App.pwdoc; do
    wine_run wine reg copy "HKCU\\Software\\Classes\\$key" "HKCR\\$key" /s /f || return 1
  done
}

# The file type, through the shell as Explorer opens a file: the installed launcher gets the
# document's full path as its one argument, spaces and non-ASCII characters intact (UTF-8
# code page); the type's own icon file is registered.
open_document() {
  local doc="$work/docs/A file é€ 文.pwdoc" record=$work/open-record.txt
  mkdir -p "$work/docs" && echo text >"$doc" || return 1
  wine_run wine reg query 'HKCU\Software\Classes\Rel.App.pwdoc\DefaultIcon' &&
    grep -qF '\Rel.App\icons\pwdoc.ico,0' "$work/wine.log" && [ -s "$installed/icons/pwdoc.ico" ] ||
    { echo "no icon for the type:"; cat "$work/wine.log"; return 1; }
  user_classes_to_shell || return 1
  # The fake runtime fails, so the launcher's exit code says nothing here; the record does.
  PLENWICK_JVM_RECORD=$record wine_run wine start /wait /unix "$doc"
  wine_run wine reg delete 'HKCR\.pwdoc' /f && wine_run wine reg delete 'HKCR\Rel.App.pwdoc' /f || return 1
  grep -qxF "arg Z:${doc//\//\\}" "$record" && [ "$(grep -c '^arg ' "$record")" = 2 ] ||
    { echo "the document did not arrive as one intact argument:"; grep -s '^arg \|acp' "$record"; return 1; }
  echo "opened through its type: one argument, spaces and non-ASCII characters intact"
}

types_removed() {
  local key
  for key in .pwdoc Rel.App.pwdoc; do
    ! wine_run wine reg query "HKCU\\Software\\Classes\\$key" || { echo "uninstall left $key"; return 1; }
  done
}

installed=""
install_run_upgrade_uninstall() {
  [ -d "$prefix" ] || { wine_run wineboot -i && wine_run wineserver -w; } || return 1
  local user programs menu
  user=$(id -un)
  programs=$prefix/drive_c/users/$user/AppData/Local/Programs
  menu="$prefix/drive_c/users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
  installed=$programs/Rel.App
  wine_run wine msiexec /i "$work/app-1.0.msi" /qn || { echo "install failed"; return 1; }
  [ -e "$installed/bin/Rel.App.exe" ] && [ -e "$installed/app/only-in-1.0.jar" ] && [ -e "$menu/Release Demo.lnk" ] ||
    { echo "1.0 not installed per user"; ls -R "$programs" | head; return 1; }
  local record=$work/record.txt app
  (cd "$work" && PLENWICK_JVM_RECORD=$record wine_run wine "$installed/bin/Rel.App.exe" installed)
  app='C:\users\'$user'\AppData\Local\Programs\Rel.App\app\'
  grep -qF "option -Dapp.dir=$app" "$record" && grep -qF "option -Dsun.java.command=probe.Probe installed" "$record" ||
    { echo "unexpected record:"; head -6 "$record"; return 1; }
  echo "installed under LocalAppData\\Programs; the installed launcher passed its packed options"
  RELEASE_TEST_PASSWORD=s3cret "$pack" installer "$work/app.json" --version 1.1 --jar "$work/jars/probe.jar" \
    --output "$work/x64-1.1" --installer "$work/app-1.1.msi" >"$work/installer-1.1.log" 2>&1 &&
    wine_run wine msiexec /i "$work/app-1.1.msi" /qn || { cat "$work/installer-1.1.log"; return 1; }
  [ ! -e "$installed/app/only-in-1.0.jar" ] && [ "$(ls "$programs")" = Rel.App ] &&
    "$pack" show "$installed/bin/Rel.App.exe" | grep -cx "manifest version: 1.1.0.0" >/dev/null ||
    { echo "1.1 did not replace 1.0"; ls -R "$programs" | head -20; return 1; }
  echo "1.1 replaced 1.0: one copy"
  # The prefix is kept between runs: a failure here must not leave 1.1 installed in it.
  open_document || { wine_run wine msiexec /x "$work/app-1.1.msi" /qn; return 1; }
  if wine_run wine msiexec /i "$work/app-1.0.msi" /qn || [ -e "$installed/app/only-in-1.0.jar" ]; then
    echo "1.0 was installed over 1.1"; return 1
  fi
  echo "1.0 refused over 1.1"
  wine_run wine msiexec /x "$work/app-1.1.msi" /qn &&
    [ ! -e "$installed" ] && [ ! -e "$menu/Release Demo.lnk" ] ||
    { echo "uninstall left files"; find "$installed" "$menu" | head; return 1; }
  types_removed || return 1
  echo "uninstalled: no files, no shortcut, no file type"
}

# Each refusal: exit code 1 and a message a user can act on.
refused() {
  local expected=$1 out
  shift
  out=$("$@" 2>&1) && { echo "accepted: $*"; return 1; }
  grep -qF "$expected" <<<"$out" || { echo "expected '$expected', got: $out"; return 1; }
}

errors() {
  local msi=$work/app-1.0.msi linux=$work/linux-image s=$work/s.msi ok=0
  mkdir -p "$linux/bin" && touch "$linux/.plenwick-image" && cp build/launcher "$linux/bin/app"
  refused "wrong password for $work/keys/signer.p12" env RELEASE_TEST_PASSWORD=wrong \
    "$pack" sign "$work/app.json" "$msi" --output "$s" || ok=1
  refused "is not a code-signing certificate" "$pack" sign "$msi" --output "$s" \
    --certificate "$work/keys/web.pem" --key "$work/keys/signer.key" || ok=1
  refused "wixl is not installed: install the Debian package wixl" env PATH=/nonexistent \
    "$pack" installer --image "$work/x64-1.0" --installer "$s" || ok=1
  refused "is an image for Linux" "$pack" installer --image "$linux" --type msi --installer "$s" || ok=1
  refused "carries an Authenticode signature" "$pack" write --launcher "$work/x64-1.0/bin/Rel.App.exe" \
    --main-class a.B --output "$s" || ok=1
  [ ! -e "$s" ] || { echo "a refused run left $s"; ok=1; }
  return $ok
}

# ARM64: the same per-user layout (an Intel-platform package) around the ARM64 image.
arm64_installer() {
  local f
  RELEASE_TEST_PASSWORD=s3cret "$pack" installer "$work/app.json" --target windows-arm64 --launcher build-windows-arm64/launcher.exe \
    --output "$work/arm64" --installer "$work/arm64.msi" >"$work/arm64.log" 2>&1 || { cat "$work/arm64.log"; return 1; }
  msiinfo export "$work/arm64.msi" File | grep -c "Rel.App.exe" >/dev/null || { echo "no Rel.App.exe in the File table"; return 1; }
  for f in "$work/arm64.msi" "$work/arm64/bin/Rel.App.exe"; do
    osslsigncode verify -CAfile "$work/keys/ca.pem" -in "$f" >/dev/null 2>&1 || { echo "not verified: $f"; return 1; }
  done
}

rm -rf "$work" && mkdir -p "$work"
step "throw-away CA and code-signing certificate" make_certificates
[ "$failed" -eq 0 ] || { cat "$work/openssl.log"; exit 1; }
step "configuration" write_config
step "signed image and installer from the configuration" make_installer
step "signatures" verify_signatures
step "per-user package" check_scope
step "install, run, upgrade, open a document, uninstall under Wine" install_run_upgrade_uninstall
step "errors a user can act on" errors
if [ -e build-windows-arm64/launcher.exe ]; then
  step "windows-arm64 signed installer" arm64_installer
else
  echo "--- windows-arm64 installer: skipped, no build-windows-arm64/launcher.exe"
fi
[ "$failed" -eq 0 ]
