#!/bin/sh
# gaspipe-calc network's outputs as a script sees them: the case file is never
# written over, under any name; devices are written directly; a write that
# fails says why, exits 2 and leaves no file; text cells that a spreadsheet
# would run as formulas are marked, numbers are not.
# Usage: network_outputs.sh GASPIPE_CALC PIPE_FILE EXAMPLES_DIR WORK_DIR
calc=$1 ini=$2 examples=$3 dir=$4
failed=0
check() {
    what=$1
    shift
    if ! "$@"; then
        echo "FAILED: $what"
        failed=1
    fi
}
exits() { test "$status" -eq "$1"; }
said() { grep -q "$1" err; }

rm -rf "$dir" && mkdir -p "$dir" && cd "$dir" || exit 1
example=$examples/courtyard-medium.gpcase
cp "$example" case.gpcase
ln -s case.gpcase soft.gpcase
ln case.gpcase hard.gpcase

# The output is the input, by its own name, a symbolic or a hard link.
for out in case.gpcase ./case.gpcase soft.gpcase hard.gpcase; do
    for mode in --text --csv --json --size; do
        flag=$mode
        test "$mode" = --text && flag=
        "$calc" network $flag case.gpcase --ini "$ini" -o "$out" 2>err
        status=$?
        check "-o $out $mode: exit 2" exits 2
        check "-o $out $mode: the message" said "network: the output '$out' is the input file"
        check "-o $out $mode: the case is as it was" cmp -s case.gpcase "$example"
    done
done
# The sheet of a case is no more written over it than the table.
ln -s case.gpcase sheet.html
"$calc" sheet --case case.gpcase --ini "$ini" -o sheet.html 2>err
status=$?
check "sheet -o a link to the case: exit 2" exits 2
check "sheet -o a link to the case: the case is as it was" cmp -s case.gpcase "$example"
rm sheet.html
"$calc" network case.gpcase --ini "$ini" >>hard.gpcase 2>err
status=$?
check "standard output appending to the case: exit 2" exits 2
check "standard output appending to the case: the message" said "the standard output is the input file"
check "standard output appending to the case: the case is as it was" cmp -s case.gpcase "$example"

# A device is written directly.
for flag in "" --csv --json; do
    "$calc" network case.gpcase $flag --ini "$ini" -o /dev/null 2>err
    status=$?
    check "-o /dev/null $flag: exit 0" exits 0
done
"$calc" network --size case.gpcase --ini "$ini" -o /dev/null >/dev/null 2>err
status=$?
check "--size -o /dev/null: exit 0 or 1 (notes)" test "$status" -le 1

# Standard output that cannot be written: the reason, exit 2.
for flag in "" --csv --json; do
    "$calc" network case.gpcase $flag --ini "$ini" >/dev/full 2>err
    status=$?
    check "> /dev/full $flag: exit 2" exits 2
    check "> /dev/full $flag: the reason" \
        said "^network: cannot write to standard output: No space left on device$"
    "$calc" network case.gpcase $flag --ini "$ini" >&- 2>err
    status=$?
    check "closed standard output $flag: exit 2" exits 2
    check "closed standard output $flag: the message" said "cannot write to standard output"
done

# --size: exit 2 writes no NEW and keeps an earlier one.
"$calc" network --size case.gpcase --ini "$ini" -o new.gpcase >/dev/full 2>err
status=$?
check "--size > /dev/full: exit 2" exits 2
check "--size > /dev/full: no NEW" test ! -e new.gpcase
echo earlier >new.gpcase
"$calc" network --size case.gpcase --ini "$ini" -o new.gpcase >/dev/full 2>err
status=$?
check "--size > /dev/full: the earlier NEW stays" test "$(cat new.gpcase)" = earlier
check "--size > /dev/full: no temporary file left" test "$(ls -A | wc -l)" -eq 5
"$calc" network --size case.gpcase --ini "$ini" -o new.gpcase >changes 2>err
status=$?
check "--size: written" "$calc" network new.gpcase --ini "$ini" -o /dev/null

# CSV for Excel and WPS: an id that is a formula goes out as text; negative
# numbers (the riser's additional heads) stay numbers.
sed 's/"id":"干1"/"id":"=HYPERLINK(1)"/; s/"id":"支6"/"id":"@SUM(1)"/' "$example" >formula.gpcase
"$calc" network formula.gpcase --csv --ini "$ini" >formula.csv 2>err
status=$?
check "formula ids: solved" exits 0
check "=HYPERLINK marked" grep -q "^'=HYPERLINK(1),接口," formula.csv
check "@SUM marked" grep -q "^'@SUM(1),J4," formula.csv
"$calc" network "$examples/building-riser.gpcase" --csv --ini "$ini" >riser.csv 2>err
check "negative numbers as numbers" grep -q ',-[0-9][0-9.]*,' riser.csv
check "no number marked" sh -c "! grep -q \",'[-+0-9]\" riser.csv"

exit $failed
