#!/bin/sh
# Usage: check-install.sh BUILD_DIR SCRATCH_DIR
# Installs the build into SCRATCH_DIR and checks that the programs are reached
# through links in bin/ and find PipeParameters.Ini and Simultaneity.ini beside their real path.
set -eu
build=$1
prefix=$2
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }

calc=$prefix/bin/gaspipe-calc
[ -L "$calc" ] || fail "bin/gaspipe-calc is not a link"
real=$(readlink -f "$calc")
[ -x "$real" ] || fail "bin/gaspipe-calc does not lead to an executable"
[ -f "$(dirname "$real")/PipeParameters.Ini" ] || fail "no PipeParameters.Ini beside $real"
[ -f "$(dirname "$real")/Simultaneity.ini" ] || fail "no Simultaneity.ini beside $real"
case $(readlink "$calc") in /*) fail "bin/gaspipe-calc is an absolute link" ;; esac

# A missing pipe file reads as an empty list, so empty output means not found.
listing=$(cd / && "$calc" diameters --material steel)
[ -n "$listing" ] || fail "gaspipe-calc started through its link lists no diameters"

# The Qt build writes PDF through the sheet writer module beside the tool.
if ls "$(dirname "$real")"/gaspipe-sheet.* >/dev/null 2>&1; then
  (cd / && "$calc" sheet --gas lpg --class low --material pe --density 2.38 --viscosity 3.25 \
     --temperature 288 --diameter 50 --length 10 --flow 30 --inlet 3000 -o "$prefix/check.pdf") ||
    fail "gaspipe-calc started through its link writes no PDF sheet"
  # The sheet's fonts beside the programs, links to Debian's font packages.
  for font in DejaVuSerif.ttf DejaVuSans.ttf uming.ttc wqy-zenhei.ttc; do
    [ -f "$(dirname "$real")/fonts/$font" ] || fail "no fonts/$font beside $real"
  done
fi

if [ -e "$prefix/bin/gaspipe" ] || [ -L "$prefix/bin/gaspipe" ]; then
  [ -L "$prefix/bin/gaspipe" ] || fail "bin/gaspipe is not a link"
  [ "$(dirname "$(readlink -f "$prefix/bin/gaspipe")")" = "$(dirname "$real")" ] ||
    fail "gaspipe and gaspipe-calc are not installed together"
  for f in share/applications/io.github.gaspipe.Gaspipe.desktop \
           share/metainfo/io.github.gaspipe.Gaspipe.metainfo.xml \
           share/icons/hicolor/128x128/apps/io.github.gaspipe.Gaspipe.png \
           share/icons/hicolor/scalable/apps/io.github.gaspipe.Gaspipe.svg; do
    [ -f "$prefix/$f" ] || fail "$f not installed"
  done
fi
if [ -e "$prefix/bin/gaspipe-table" ] || [ -L "$prefix/bin/gaspipe-table" ]; then
  [ -L "$prefix/bin/gaspipe-table" ] || fail "bin/gaspipe-table is not a link"
  [ "$(dirname "$(readlink -f "$prefix/bin/gaspipe-table")")" = "$(dirname "$real")" ] ||
    fail "gaspipe-table and gaspipe-calc are not installed together"
  for f in share/applications/io.github.gaspipe.GaspipeTable.desktop \
           share/mime/packages/io.github.gaspipe.GaspipeTable.xml \
           share/icons/hicolor/128x128/apps/io.github.gaspipe.GaspipeTable.png \
           share/icons/hicolor/scalable/apps/io.github.gaspipe.GaspipeTable.svg; do
    [ -f "$prefix/$f" ] || fail "$f not installed"
  done
fi
[ -f "$prefix/share/doc/gaspipe/copyright" ] || fail "share/doc/gaspipe/copyright not installed"
echo "installed tree OK: $real"
