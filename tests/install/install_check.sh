#!/usr/bin/env bash
# install_check.sh BUILD_DIR PREFIX: installs BUILD_DIR into a temporary DESTDIR and checks the
# installed tree: the programs, the program folder, the desktop entry, the icon and the
# AppStream data; then builds a menu with the installed quillary-build from an installed
# background and button template, runs the installed demo, and reads what they write and every
# installed sample with the installed quillary-psdinfo.
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
for f in bin/quillary bin/quillary-build bin/quillary-demo bin/quillary-psdinfo \
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
backgrounds=()
for f in "$data"/Backgrounds/**/*; do
  case "$f" in */Preview/*) ;; *) [ -f "$f" ] && backgrounds+=("$f") ;; esac
done
[ ${#backgrounds[@]} -gt 0 ] || fail "no installed backgrounds"
"$top/bin/quillary-build" --background "${backgrounds[0]}" --template "$data/Button Templates/Blue Rounded.psd" \
  --output "$root/out/menu.psd" >"$root/build.log" 2>&1 || { cat "$root/build.log"; fail "the installed quillary-build failed"; }
"$top/bin/quillary-demo" "$root/out" >"$root/demo.log" || { cat "$root/demo.log"; fail "the installed demo failed"; }
written=("$root"/out/*.psd)
[ ${#written[@]} -ge 2 ] || fail "the installed programs wrote ${#written[@]} documents, not 2"
samples=("$data"/Backgrounds/**/*.psd "$data"/Button\ Templates/**/*.psd)
[ ${#samples[@]} -gt 0 ] || fail "no installed sample documents"
for f in "${written[@]}" "${samples[@]}"; do
  "$top/bin/quillary-psdinfo" "$f" >/dev/null || fail "quillary-psdinfo cannot read $f"
done
echo "installed into $top: ${#written[@]} built documents and ${#samples[@]} samples read back"
