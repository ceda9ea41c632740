#!/bin/sh
# Usage: check-windows-installer.sh WINDOWS_BUILD_DIR LINUX_GASPIPE_CALC
# Installs the NSIS package of the Windows build silently under Wine, in a
# fresh prefix, runs the installed gaspipe-calc on the standard case from
# another folder (it must find PipeParameters.Ini beside itself and print
# what the Linux build prints), then uninstalls it silently.
set -eu
build=$(cd "$1" && pwd)
linux=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

set -- "$build"/gaspipe-*-win64.exe
[ -f "$1" ] || fail "no installer in $build: run cpack --preset windows-cross"
installer=$1
file "$installer" | grep -q 'PE32+ executable.*x86-64' || fail "$installer is not a 64-bit program"

GASPIPE_WINEPREFIX=$build/wine-install-check
export GASPIPE_WINEPREFIX
rm -rf "$GASPIPE_WINEPREFIX"
run=$build/wine-run
"$run" "$installer" /S
dir=$GASPIPE_WINEPREFIX/drive_c/Program\ Files/gaspipe
for f in gaspipe-calc.exe PipeParameters.Ini Simultaneity.ini libcsv.dll LICENSE.txt THIRD-PARTY-NOTICES.txt \
         Uninstall.exe; do
  [ -f "$dir/$f" ] || fail "the installer left no $f in C:\\Program Files\\gaspipe"
done
[ -z "$(find "$dir" -type l)" ] || fail "the installed folder holds symbolic links"

standard="segment --gas 天然气 --class 高中压 --material 钢管 --density 0.7247 --viscosity 14.5
  --temperature 288 --diameter 100 --length 1000 --flow 500 --inlet 5"
# shellcheck disable=SC2086
windows_out=$(cd / && "$run" 'C:\Program Files\gaspipe\gaspipe-calc.exe' $standard) ||
  fail "the installed gaspipe-calc failed on the standard case"
# shellcheck disable=SC2086
linux_out=$("$linux" $standard)
[ "$windows_out" = "$linux_out" ] ||
  fail "the installed gaspipe-calc prints something else than Linux: $windows_out"
# The pipe file was found: the diameter list is not empty.
[ -n "$("$run" 'C:\Program Files\gaspipe\gaspipe-calc.exe' diameters)" ] ||
  fail "the installed gaspipe-calc lists no diameters"

# The uninstaller copies itself elsewhere and returns at once.
"$run" 'C:\Program Files\gaspipe\Uninstall.exe' /S
for _ in $(seq 120); do
  [ -e "$dir/gaspipe-calc.exe" ] || break
  sleep 0.5
done
[ ! -e "$dir/gaspipe-calc.exe" ] || fail "the uninstaller left gaspipe-calc.exe"
"$run" --wineserver -k || true
echo "$windows_out"
echo "installed, ran the standard case as on Linux, uninstalled: $(basename "$installer")"
