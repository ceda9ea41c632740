// libFuzzer target for the readers of a line's outside input: the case file
// and the CSV segment rows. Beyond "no crash, no hang", it checks what the
// table relies on: a case that reads is written back to a text that reads
// again into the same case, an error names its place within the input, and
// imported rows export and import again unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "case_file.h"
#include "segments_csv.h"

namespace {

using namespace gaspipe::network;

void Check(bool condition) {
    if (!condition) std::abort();
}

std::size_t Lines(std::string_view text) {
    std::size_t lines = 1;
    for (char c : text) lines += c == '\n';
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const CaseReadResult r = ParseCase(input);
    if (r.value) {
        const std::string written = CaseToJson(*r.value);
        const CaseReadResult again = ParseCase(written);
        Check(again.value && CaseToJson(*again.value) == written);
    } else {
        Check(!r.error.empty());
        Check(r.line <= Lines(input));
        Check((r.line == 0) == (r.column == 0));
    }

    Case c;
    if (ImportSegmentsCsv(input, c).empty()) {
        Case back;
        Check(ImportSegmentsCsv(SegmentsToCsv(c), back).empty());
        Check(SegmentsToCsv(back) == SegmentsToCsv(c));
    }
    return 0;
}
