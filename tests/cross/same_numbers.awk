# Reads two CSV files, Linux's then Windows', and prints each line where they
# differ by more than the last bits of a double: a field must be the same
# text, or both numbers within 1e-12 of each other, relative to the first
# when it is above 1. MinGW's pow and log10 differ from glibc's in the last
# bit, and a pressure drop, the difference of two close pressures, carries
# that further. Exit status 1 when a line differs.
#   awk -F, -f same_numbers.awk LINUX.csv WINDOWS.csv
function number(s) { return s ~ /^-?[0-9]+(\.[0-9]+)?([eE][-+]?[0-9]+)?$/ }
function near(a, b,   d, m) {
    d = a - b; if (d < 0) d = -d
    m = a < 0 ? -a : a; if (m < 1) m = 1
    return d <= 1e-12 * m
}
NR == FNR { linux[FNR] = $0; lines = FNR; next }
{
    same = linux[FNR] == $0
    if (!same) {
        n = split(linux[FNR], l, FS)
        same = n == NF
        for (i = 1; same && i <= NF; i++)
            same = l[i] == $i || (number(l[i]) && number($i) && near(l[i] + 0, $i + 0))
    }
    if (!same) { print "line " FNR ": Linux   " linux[FNR]; print "line " FNR ": Windows " $0; bad = 1 }
}
END { if (FNR != lines) { print "Linux has " lines " lines, Windows " FNR; bad = 1 }; exit bad }
