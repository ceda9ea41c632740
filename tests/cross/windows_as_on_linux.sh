#!/bin/sh
# Runs gaspipe-window-dump of the Linux build and of the Windows build (under
# Wine) and fails unless both windows show the same:
#   windows_as_on_linux.sh LINUX_BIN WINDOWS_RUN SCRATCH main
#     the main window's reports;
#   windows_as_on_linux.sh LINUX_BIN WINDOWS_RUN SCRATCH table CASE
#     the table window's cells with CASE open; its results as CSV, which must
#     be what gaspipe-calc network --csv writes on Windows byte for byte, and
#     on Linux but for the last bits of a double (same_numbers.awk); and the
#     sheet, strings and styles of its Excel workbook.
set -u
linux=$1 windows=$2 scratch=$3 job=$4
if [ ! -x "$linux/gaspipe-window-dump" ]; then
  echo "no $linux/gaspipe-window-dump: build the default preset first" >&2
  exit 1
fi
rm -rf "$scratch"
mkdir -p "$scratch"
fail=0
differ() {  # what, Linux file, Windows file
  if ! cmp -s "$2" "$3"; then
    echo "the Windows build differs: $1" >&2
    diff "$2" "$3" | head -20 >&2
    fail=1
  fi
}

case $job in
  main)
    QT_QPA_PLATFORM=offscreen "$linux/gaspipe-window-dump" main > "$scratch/linux.out"
    # Line ends as the console writes them on each system.
    "$windows/gaspipe-window-dump" main | tr -d '\r' > "$scratch/windows.out"
    cat "$scratch/windows.out"
    differ "the main window's report" "$scratch/linux.out" "$scratch/windows.out"
    ;;
  table)
    case_file=$5
    QT_QPA_PLATFORM=offscreen "$linux/gaspipe-window-dump" table "$case_file" "$scratch/linux" \
      > "$scratch/linux.out"
    echo "Linux: exit $?"
    "$windows/gaspipe-window-dump" table "$case_file" "$scratch/windows" > "$scratch/windows.crlf"
    echo "Windows: exit $?"
    tr -d '\r' < "$scratch/windows.crlf" > "$scratch/windows.out"
    cat "$scratch/windows.out"
    differ "the table's cells" "$scratch/linux.out" "$scratch/windows.out"
    "$windows/gaspipe-calc" network "$case_file" --csv > "$scratch/network-windows.csv"
    differ "the results as gaspipe-calc network --csv writes them" \
      "$scratch/network-windows.csv" "$scratch/windows/results.csv"
    "$linux/gaspipe-calc" network "$case_file" --csv > "$scratch/network-linux.csv"
    awk -F, -f "$(dirname "$0")/same_numbers.awk" "$scratch/network-linux.csv" \
      "$scratch/network-windows.csv" >&2 || {
      echo "the Windows build differs: the results beyond the last bits of Linux's" >&2
      fail=1
    }
    [ -s "$scratch/windows/table.xlsx" ] || { echo "the Windows build wrote no workbook" >&2; fail=1; }
    for part in xl/worksheets/sheet1.xml xl/sharedStrings.xml xl/styles.xml; do
      for build in linux windows; do
        unzip -p "$scratch/$build/table.xlsx" "$part" > "$scratch/$build.$(basename "$part")"
      done
    done
    # The cells' numbers are the solver's doubles: the same but for their last
    # bits, compared a tag to a line; the strings and styles byte for byte.
    for build in linux windows; do
      sed 's/></>\n</g' "$scratch/$build.sheet1.xml" > "$scratch/$build.sheet1.lines"
    done
    awk -F'[<>]' -f "$(dirname "$0")/same_numbers.awk" "$scratch/linux.sheet1.lines" \
      "$scratch/windows.sheet1.lines" >&2 || {
      echo "the Windows build differs: the workbook's cells beyond the last bits of Linux's" >&2
      fail=1
    }
    for part in sharedStrings.xml styles.xml; do
      differ "the workbook's xl/$part" "$scratch/linux.$part" "$scratch/windows.$part"
    done
    ;;
  *)
    echo "unknown job $job" >&2
    exit 2
    ;;
esac
exit $fail
