// libFuzzer target for the simultaneity file's reader. Beyond "no crash", it
// checks what the flows rely on: a table read as usable has sets and rising
// rows of one factor per set in (0, 1], and its factors stay within them for
// any number of households; a refused one says why.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "simultaneity_file.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const gaspipe::SimultaneityTable t = gaspipe::SimultaneityTable::Parse(text, "fuzz.ini");
    if (!t.readable()) {
        Check(!t.problem().empty());
        return 0;
    }
    Check(t.SetCount() > 0 && t.SetCount() <= gaspipe::SimultaneityTable::kMaxSets);
    Check(!t.rows().empty() && t.rows().size() <= gaspipe::SimultaneityTable::kMaxRows);
    for (std::size_t i = 0; i < t.rows().size(); ++i) {
        Check(t.rows()[i].k.size() == t.SetCount());
        if (i) Check(t.rows()[i].n > t.rows()[i - 1].n);
    }
    for (std::size_t set = 0; set < t.SetCount(); ++set) {
        Check(t.FindSet(t.SetName(set)) == set);
        for (double n : {0.0, 1.0, 2.5, 12.0, 1e9, std::nan("")}) {
            const double k = t.Factor(set, n);
            Check(k > 0 && k <= 1);
        }
    }
    return 0;
}
