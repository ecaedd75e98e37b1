#!/usr/bin/env bash
# install_check.sh BUILD_DIR PREFIX: installs BUILD_DIR into a temporary DESTDIR and checks the
# installed tree: the programs, the program folder, the desktop entry, the icon and the
# AppStream data; then builds a menu with the installed quillary-build from the installed samples,
# and reads what it writes and every installed sample with the installed quillary-psdinfo.
set -euo pipefail
build=$1
prefix=$2
root=$(mktemp -d "${TMPDIR:-/tmp}/quillary-install.XXXXXX")
trap 'rm -rf "$root"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$root/dest" cmake --install "$build" --prefix "$prefix" >"$root/install.log" || {
  cat "$root/install.log"
  fail "cmake --install failed"
}
top="$root/dest$prefix"
data="$top/share/quillary"
for f in bin/quillary bin/quillary-build bin/quillary-psdinfo \
         share/applications/org.quillary.Quillary.desktop \
         share/icons/hicolor/scalable/apps/org.quillary.Quillary.svg \
         share/metainfo/org.quillary.Quillary.metainfo.xml; do
  [ -e "$top/$f" ] || fail "$f is not installed"
done
for n in 1 2 3 4 5 6 7 8 9; do
  [ -f "$data/Resources/StateInfo$n.rtf" ] || fail "Resources/StateInfo$n.rtf is not installed"
done
[ -d "$data/Backgrounds" ] && [ -d "$data/Button Templates" ] || fail "the sample data is not installed"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$top/share/applications/org.quillary.Quillary.desktop" || fail "desktop entry"
else
  echo "desktop-file-validate is missing (package desktop-file-utils); entry not validated"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$top/share/metainfo/org.quillary.Quillary.metainfo.xml" || fail "AppStream data"
else
  echo "appstreamcli is missing (package appstream); metainfo not validated"
fi

shopt -s nullglob globstar
mkdir -p "$root/out"
"$top/bin/quillary-build" --background "$data/Backgrounds/Skies/Sunset Clouds.png" \
  --template "$data/Button Templates/Compact Silver.psd" --buttons 10 --output "$root/out/menu.psd" \
  >"$root/build.log" 2>&1 || { cat "$root/build.log"; fail "the installed quillary-build failed"; }
written=("$root"/out/*.psd)
[ ${#written[@]} -eq 1 ] || fail "the installed quillary-build wrote no document"
samples=("$data"/Backgrounds/**/*.psd "$data"/Button\ Templates/**/*.psd)
[ ${#samples[@]} -gt 0 ] || fail "no installed sample documents"
for f in "${written[@]}" "${samples[@]}"; do
  "$top/bin/quillary-psdinfo" "$f" >/dev/null || fail "quillary-psdinfo cannot read $f"
done
echo "installed into $top: ${#written[@]} built documents and ${#samples[@]} samples read back"
