#!/bin/sh
# Runs one gaspipe-calc job with the Linux build and with the Windows build
# (under Wine) and fails unless both write the same bytes and exit alike.
#   same_as_linux.sh LINUX_CALC WINDOWS_CALC SCRATCH standard
#   same_as_linux.sh LINUX_CALC WINDOWS_CALC SCRATCH batch ROWS
# batch: ROWS rows of inputs spread over every gas, pressure class and pipe
# material and over the ranges designers use, generated the same way each
# time; what is compared is the SHA-256 of each build's output.
set -u
linux=$1 windows=$2 scratch=$3 job=$4
if [ ! -x "$linux" ]; then
  echo "no Linux gaspipe-calc at $linux: build the default preset first" >&2
  exit 1
fi
mkdir -p "$scratch"

case $job in
  standard)
    set -- segment --gas 天然气 --class 高中压 --material 钢管 --density 0.7247 \
      --viscosity 14.5 --temperature 288 --diameter 100 --length 1000 --flow 500 --inlet 5
    ;;
  batch)
    # A Lehmer generator in integer arithmetic (exact in awk's doubles), and
    # numbers printed from integers: the same file on every machine.
    awk -v rows="$5" 'function r(n) { x = (x * 48271) % 2147483647; return x % n }
      BEGIN {
        x = 20240601
        split("natural-gas manufactured-gas lpg", gas, " ")
        split("high-medium low", class, " ")
        split("steel pe cast-iron", material, " ")
        print "note,gas,class,material,density,viscosity,temperature,diameter,length,flow,inlet"
        for (i = 1; i <= rows; i++) {
          c = 1 + r(2)
          inlet = c == 1 ? sprintf("%d.%02d", 1 + r(15), r(100)) : sprintf("%d", 500 + r(9500))
          printf "%d,%s,%s,%s,%d.%04d,%d.%02d,%d.%d,%d.%d,%d.%d,%d.%d,%s\n", i, gas[1 + r(3)],
            class[c], material[1 + r(3)], r(3), r(10000), 3 + r(27), r(100), 250 + r(80), r(10),
            10 + r(590), r(10), 1 + r(5000), r(10), r(5000), 1 + r(9), inlet
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
if [ "$linux_status" -ne "$windows_status" ] || ! cmp -s "$scratch/linux.out" "$scratch/windows.out" ||
   ! cmp -s "$scratch/linux.err" "$scratch/windows.err"; then
  echo "the Windows build writes something else:" >&2
  diff "$scratch/linux.out" "$scratch/windows.out" | head -20 >&2
  diff "$scratch/linux.err" "$scratch/windows.err" | head -20 >&2
  exit 1
fi
