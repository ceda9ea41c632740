// The bytes that matter to CSV: where commas and line breaks are in sixteen
// bytes, as a bit mask (bit i for byte i): one vector comparison on x86-64,
// where SSE2 is always there, and a byte loop elsewhere; and whether a field
// needs quotes.
#pragma once

#include <cstdint>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gaspipe::cli {

// Commas, LFs and CRs.
inline std::uint32_t CommaAndBreakMarks(const char* p) {
#if defined(__SSE2__)
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(',')),
                                                   _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n'))),
                                      _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')));
    return static_cast<std::uint32_t>(_mm_movemask_epi8(hits));
#else
    std::uint32_t marks = 0;
    for (int i = 0; i < 16; ++i)
        if (p[i] == ',' || p[i] == '\n' || p[i] == '\r') marks |= 1u << i;
    return marks;
#endif
}

// Whether a CSV field must be quoted: it holds a comma, a quote or a line
// break. A byte loop; find_first_of calls memchr on the set for every byte.
inline bool NeedsQuotes(std::string_view field) {
    for (char c : field)
        if (c == ',' || c == '"' || c == '\n' || c == '\r') return true;
    return false;
}

}  // namespace gaspipe::cli
