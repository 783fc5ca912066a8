#!/usr/bin/env bash
# Builds the Debian package from the install rules and checks what it holds
# and what it depends on. Usage: check_deb.sh BUILD_DIR
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
deb=$(ls "$out"/mosaica_*.deb)
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
info=$(dpkg-deb -I "$deb")
files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for dep in libqt6widgets6 libjpeg62-turbo fonts-ipafont-gothic xdg-utils qt6-qpa-plugins; do
    grep -q "Depends:.*$dep" <<<"$info" || fail "no dependency on $dep"
done
for f in ./usr/bin/mosaica ./usr/share/applications/mosaica.desktop \
    ./usr/share/icons/hicolor/scalable/apps/mosaica.svg ./usr/share/icons/hicolor/48x48/apps/mosaica.png; do
    grep -qx "$f" <<<"$files" || fail "missing $f"
done
dpkg-deb -x "$deb" "$out/root"
entry=$out/root/usr/share/applications/mosaica.desktop
grep -qx 'Name=モザイカ' "$entry" || fail "desktop entry name"
grep -qx 'Categories=Graphics;' "$entry" || fail "desktop entry category"
grep -q '^Comment\[ja\]=' "$entry" || fail "no Japanese comment"
grep -qx 'Exec=mosaica' "$entry" || fail "the program takes no file arguments"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" || fail "desktop entry does not validate"
fi
echo ok
