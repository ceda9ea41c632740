#!/bin/sh
# Usage: check-windows-installer.sh WINDOWS_BUILD_DIR LINUX_GASPIPE_CALC
# Installs the NSIS package of the Windows build silently under Wine, in a
# fresh prefix, and checks what it left: the installed gaspipe-calc prints the
# standard case as the Linux build does (it must find PipeParameters.Ini
# beside itself). With the windows: their files, the Start menu entries, both
# windows starting from the installed folder, a sheet written with the
# shipped fonts, and a .gpcase file opened by the table window through the
# file association, as a double-click does. Then it uninstalls silently and
# checks that the files, the entries and the association are gone.
set -eu
build=$(cd "$1" && pwd)
linux=$2
fail() { echo "FAIL: $*" >&2; "$build/wine-run" --wineserver -k 2>/dev/null || true; exit 1; }

set -- "$build"/gaspipe-*-win64.exe
[ -f "$1" ] || fail "no installer in $build: run cpack --preset windows-cross"
installer=$1
file "$installer" | grep -q 'PE32+ executable.*x86-64' || fail "$installer is not a 64-bit program"
windows=false
[ -f "$build/bin/gaspipe.exe" ] && windows=true

GASPIPE_WINEPREFIX=$build/wine-install-check
export GASPIPE_WINEPREFIX
rm -rf "$GASPIPE_WINEPREFIX"
run=$build/wine-run
timeout 300 "$run" "$installer" /S
dir=$GASPIPE_WINEPREFIX/drive_c/Program\ Files/gaspipe
menu=$GASPIPE_WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/gaspipe
files="gaspipe-calc.exe PipeParameters.Ini Simultaneity.ini libcsv.dll libstdc++-6.dll libgcc_s_seh-1.dll
  libwinpthread-1.dll LICENSE.txt THIRD-PARTY-NOTICES.txt Uninstall.exe"
if $windows; then
  files="$files gaspipe.exe gaspipe-table.exe gaspipe-sheet.dll Qt6Core.dll Qt6Gui.dll
    Qt6Widgets.dll Qt6Svg.dll Qt6Charts.dll platforms/qwindows.dll platforms/qminimal.dll
    styles/qwindowsvistastyle.dll imageformats/qsvg.dll iconengines/qsvgicon.dll
    translations/qtbase_zh_CN.qm fonts/DejaVuSerif.ttf fonts/DejaVuSans.ttf fonts/uming.ttc
    fonts/wqy-zenhei.ttc"
fi
for f in $files; do
  [ -f "$dir/$f" ] || fail "the installer left no $f in C:\\Program Files\\gaspipe"
done
[ -z "$(find "$dir" -type l)" ] || fail "the installed folder holds symbolic links"

calc='C:\Program Files\gaspipe\gaspipe-calc.exe'
standard="segment --gas 天然气 --class 高中压 --material 钢管 --density 0.7247 --viscosity 14.5
  --temperature 288 --diameter 100 --length 1000 --flow 500 --inlet 5"
# shellcheck disable=SC2086
windows_out=$(cd / && timeout 120 "$run" "$calc" $standard) ||
  fail "the installed gaspipe-calc failed on the standard case"
# shellcheck disable=SC2086
linux_out=$("$linux" $standard)
[ "$windows_out" = "$linux_out" ] ||
  fail "the installed gaspipe-calc prints something else than Linux: $windows_out"
# The pipe file was found: the diameter list is not empty.
[ -n "$(timeout 120 "$run" "$calc" diameters)" ] || fail "the installed gaspipe-calc lists no diameters"

if $windows; then
  for entry in 计算器 水力计算表; do
    [ -f "$menu/$entry.lnk" ] || fail "no Start menu entry gaspipe\\$entry"
  done
  # A window that cannot load its DLLs or plugins ends at once; one that
  # starts keeps running (on the display-less platform) until it is stopped.
  for program in gaspipe gaspipe-table; do
    status=0
    (cd / && timeout -k 5 20 "$run" "C:\\Program Files\\gaspipe\\$program.exe") || status=$?
    [ "$status" -eq 124 ] || fail "the installed $program.exe did not start (exit $status)"
  done
  "$run" --wineserver -k || true

  # The sheet through the installed module, in the shipped fonts.
  sheet=$GASPIPE_WINEPREFIX/drive_c/sheet.pdf
  # shellcheck disable=SC2086
  (cd / && timeout 120 "$run" "$calc" sheet ${standard#segment} -o 'C:\sheet.pdf') ||
    fail "the installed gaspipe-calc wrote no sheet"
  linux_sheet=$GASPIPE_WINEPREFIX/linux-sheet.pdf
  # shellcheck disable=SC2086
  "$linux" sheet ${standard#segment} -o "$linux_sheet"
  # Qt names a face by its PostScript name with FreeType (UMingCN), by family
  # and style with Windows' GDI (ARPLUMingCNLight).
  fonts() {
    pdffonts "$1" | tail -n +3 | awk '{ f = tolower($1); sub(/^[a-z]+\+/, "", f); sub(/^arpl/, "", f)
                                        sub(/(regular|book|light)$/, "", f); print f }' | sort -u | tr '\n' ' '
  }
  [ "$(fonts "$sheet")" = "$(fonts "$linux_sheet")" ] ||
    fail "the sheet embeds $(fonts "$sheet"), on Linux $(fonts "$linux_sheet")"

  # Explorer's way of opening a case: the association, through ShellExecute.
  # A case opened by the table window is its most recent file.
  mkdir -p "$GASPIPE_WINEPREFIX/drive_c/工程"
  cp "$(dirname "$0")/../data/examples/building-riser.gpcase" "$GASPIPE_WINEPREFIX/drive_c/工程/立管.gpcase"
  timeout 60 "$run" cmd /c start 'C:\工程\立管.gpcase' || fail "start could not open a .gpcase file"
  # The list is a REG_MULTI_SZ, exported in hex of UTF-16.
  recent() {
    timeout 60 "$run" reg export 'HKCU\Software\gaspipe\gaspipe-table' 'C:\recent.reg' /y \
      >/dev/null 2>&1 || return 0
    iconv -f UTF-16 -t UTF-8 "$GASPIPE_WINEPREFIX/drive_c/recent.reg" |
      perl -0ne 'if (/"recentFiles"=hex\(7\):([0-9a-f,\\\s]+)/) { ($h = $1) =~ s/[^0-9a-f]//g; print pack("H*", $h) }' |
      iconv -f UTF-16LE -t UTF-8 | tr '\0' '\n'
  }
  for _ in $(seq 60); do
    recent | grep -qx 'C:/工程/立管.gpcase' && break
    sleep 1
  done
  recent | grep -qx 'C:/工程/立管.gpcase' ||
    fail "the table window did not open the case started by its association (recent files: $(recent))"
  "$run" --wineserver -k || true
fi

# The uninstaller copies itself elsewhere and returns at once.
timeout 120 "$run" 'C:\Program Files\gaspipe\Uninstall.exe' /S
for _ in $(seq 120); do
  [ -e "$dir" ] || break
  sleep 0.5
done
[ ! -e "$dir" ] || fail "the uninstaller left C:\\Program Files\\gaspipe: $(cd "$dir" && find . | head)"
[ ! -e "$menu" ] || fail "the uninstaller left the Start menu folder gaspipe"
for key in 'HKLM\Software\Classes\.gpcase' 'HKLM\Software\Classes\gaspipe.case'; do
  ! timeout 60 "$run" reg query "$key" >/dev/null 2>&1 || fail "the uninstaller left $key"
done
"$run" --wineserver -k || true
echo "$windows_out"
echo "installed, ran as on Linux, uninstalled without a trace: $(basename "$installer")"
