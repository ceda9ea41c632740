#!/bin/sh
# Runs one gaspipe-calc job with the Linux build and with the Windows build
# (under Wine) and fails unless both write the same bytes and exit alike.
#   same_as_linux.sh LINUX_CALC WINDOWS_CALC SCRATCH standard
#   same_as_linux.sh LINUX_CALC WINDOWS_CALC SCRATCH batch ROWS [METHOD]
#   same_as_linux.sh LINUX_CALC WINDOWS_CALC SCRATCH sheet CASE
# batch: ROWS rows of inputs spread over every gas, pressure class and pipe
# material and over the ranges designers use, generated the same way each
# time; what is compared is the SHA-256 of each build's output. With METHOD
# gb50028-2006, which computes in double with the C library's pow and log10,
# the numbers may differ in their last bits (same_numbers.awk).
# sheet: the PDF sheets of the worked example and of CASE, as pdftotext reads
# them (the same figures and characters), with the same fonts embedded and
# the same number of pages; with
# LibreOffice, their ODTs laid out on the same number of pages.
set -u
linux=$1 windows=$2 scratch=$3 job=$4
if [ ! -x "$linux" ]; then
  echo "no Linux gaspipe-calc at $linux: build the default preset first" >&2
  exit 1
fi
mkdir -p "$scratch"

if [ "$job" = sheet ]; then
  case_file=$5
  # The sheet names the pipe file as given: the same relative name on both.
  cp "$(dirname "$linux")/PipeParameters.Ini" "$scratch/"
  cd "$scratch" || exit 1
  export SOURCE_DATE_EPOCH=1700000000
  status=0
  for sheet in segment line; do
    if [ $sheet = segment ]; then
      set -- --gas 天然气 --class 高中压 --material 钢管 --density 0.7247 --viscosity 14.5 \
        --temperature 288 --nominal 100 --length 1000 --flow 500 --inlet 5 --max-velocity 20 \
        --max-drop 0.3 --project-name 某小区燃气工程 --project-number RQ-2024-015
    else
      set -- --case "$case_file" --segment 支6
    fi
    for build in linux windows; do
      eval "program=\$$build"
      rm -f $sheet-$build.pdf
      "$program" sheet "$@" --ini PipeParameters.Ini -o $sheet-$build.pdf > $sheet-$build.err 2>&1
      echo "exit status $?, $(pdfinfo $sheet-$build.pdf | grep '^Pages:')" >> $sheet-$build.err
      # The same figures and the same text. Not line for line: GDI and
      # FreeType measure a glyph a hair apart, so a line just full on one
      # system breaks a word earlier on the other, and a table row may be
      # drawn in another order. So: every number, and how often each
      # character occurs.
      pdftotext -raw $sheet-$build.pdf $sheet-$build.txt
      grep -o '[0-9][0-9.]*' $sheet-$build.txt | sort > $sheet-$build.figures
      tr -d ' \n\f' < $sheet-$build.txt | grep -o . | sort | uniq -c > $sheet-$build.characters
      # The faces: Qt names one by its PostScript name with FreeType
      # (UMingCN) and by family and style with Windows' GDI (ARPLUMingCNLight),
      # and one instance by its weight (WenQuanYiZenHei-0-400) where GDI made
      # another for a weight the face lacks.
      pdffonts $sheet-$build.pdf | tail -n +3 |
        awk '{ f = tolower($1); sub(/^[a-z]+\+/, "", f); sub(/^arpl/, "", f)
               sub(/-[0-9]+-[0-9]+$/, "", f)
               sub(/(regular|book|light)$/, "", f); print f, $2, $3, $4 }' | sort -u > $sheet-$build.fonts
    done
    echo "$sheet sheet: $(cat $sheet-windows.err | tr '\n' ' ')fonts $(cut -d' ' -f1 $sheet-windows.fonts | tr '\n' ' ')"
    parts="figures characters fonts err"
    # The ODT, written through each build's libodfgen and libzip, laid out by
    # LibreOffice: as many pages.
    if command -v soffice > /dev/null 2>&1; then
      for build in linux windows; do
        eval "program=\$$build"
        mkdir -p odt-$build
        rm -f odt-$build/$sheet.odt odt-$build/$sheet.pdf
        "$program" sheet "$@" --ini PipeParameters.Ini -o odt-$build/$sheet.odt > /dev/null 2>&1
        HOME=$PWD/office timeout 300 soffice -env:UserInstallation=file://"$PWD/office" --headless \
          --convert-to pdf --outdir odt-$build odt-$build/$sheet.odt > /dev/null 2>&1
        { pdfinfo odt-$build/$sheet.pdf 2>&1 | grep '^Pages:' || echo 'not converted'; } > $sheet-$build.odt-pages
      done
      echo "$sheet sheet as ODT in LibreOffice: $(cat $sheet-windows.odt-pages)"
      parts="$parts odt-pages"
    fi
    for part in $parts; do
      if ! cmp -s $sheet-linux.$part $sheet-windows.$part; then
        echo "the Windows build's $sheet sheet differs ($part):" >&2
        diff $sheet-linux.$part $sheet-windows.$part | head -20 >&2
        [ "$part" != characters ] || diff $sheet-linux.txt $sheet-windows.txt | head -20 >&2
        status=1
      fi
    done
  done
  exit $status
fi

case $job in
  standard)
    set -- segment --gas 天然气 --class 高中压 --material 钢管 --density 0.7247 \
      --viscosity 14.5 --temperature 288 --diameter 100 --length 1000 --flow 500 --inlet 5
    ;;
  batch)
    # A Lehmer generator in integer arithmetic (exact in awk's doubles), and
    # numbers printed from integers: the same file on every machine.
    method=${6:-}
    awk -v rows="$5" -v method="$method" 'function r(n) { x = (x * 48271) % 2147483647; return x % n }
      BEGIN {
        x = 20240601
        split("natural-gas manufactured-gas lpg", gas, " ")
        split("high-medium low", class, " ")
        split("steel pe cast-iron", material, " ")
        print "note,gas,class,material,density,viscosity,temperature,diameter,length,flow,inlet,method"
        for (i = 1; i <= rows; i++) {
          c = 1 + r(2)
          inlet = c == 1 ? sprintf("%d.%02d", 1 + r(15), r(100)) : sprintf("%d", 500 + r(9500))
          printf "%d,%s,%s,%s,%d.%04d,%d.%02d,%d.%d,%d.%d,%d.%d,%d.%d,%s,%s\n", i, gas[1 + r(3)],
            class[c], material[1 + r(3)], r(3), r(10000), 3 + r(27), r(100), 250 + r(80), r(10),
            10 + r(590), r(10), 1 + r(5000), r(10), r(5000), 1 + r(9), inlet, method
        }
      }' > "$scratch/batch.csv"
    set -- batch "$scratch/batch.csv"
    ;;
  *)
    echo "unknown job $job" >&2
    exit 2
    ;;
esac

"$linux" "$@" > "$scratch/linux.out" 2> "$scratch/linux.err"
linux_status=$?
"$windows" "$@" > "$scratch/windows.out" 2> "$scratch/windows.err"
windows_status=$?
echo "exit status: Linux $linux_status, Windows $windows_status"
if [ "$job" = batch ]; then
  echo "rows: $(($(wc -l < "$scratch/linux.out") - 1)) Linux, $(($(wc -l < "$scratch/windows.out") - 1)) Windows"
  echo "SHA-256: Linux $(sha256sum < "$scratch/linux.out" | cut -d' ' -f1)"
  echo "SHA-256: Windows $(sha256sum < "$scratch/windows.out" | cut -d' ' -f1)"
else
  cat "$scratch/windows.out"
fi
same_output() {
  if [ -n "${method:-}" ]; then
    awk -F, -f "$(dirname "$0")/same_numbers.awk" "$scratch/linux.out" "$scratch/windows.out" \
      > "$scratch/differences"
    same=$?
    head -6 "$scratch/differences"
    return $same
  else
    cmp -s "$scratch/linux.out" "$scratch/windows.out"
  fi
}
if [ "$linux_status" -ne "$windows_status" ] || ! same_output ||
   ! cmp -s "$scratch/linux.err" "$scratch/windows.err"; then
  echo "the Windows build writes something else:" >&2
  diff "$scratch/linux.out" "$scratch/windows.out" | head -20 >&2
  diff "$scratch/linux.err" "$scratch/windows.err" | head -20 >&2
  exit 1
fi
