// The first of a few given bytes in a text, 16 bytes at a time where the
// processor has SSE2 (every x86-64 one), a byte at a time elsewhere. The
// readers and the writer look through every text of every record for the
// few characters that need care; almost all the others are plain.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <cstddef>
#include <string_view>

namespace rb {

// The position of the first of `Bytes` in `text` at or after `pos`, or
// text.size().
template <char... Bytes>
std::size_t findFirstOf(std::string_view text, std::size_t pos = 0) {
#if defined(__SSE2__)
  while (text.size() - pos >= 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + pos));
    const __m128i hits = (_mm_cmpeq_epi8(block, _mm_set1_epi8(Bytes)) | ...);
    const int mask = _mm_movemask_epi8(hits);
    if (mask != 0)
      return pos + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    pos += 16;
  }
#endif
  while (pos < text.size() && ((text[pos] != Bytes) && ...))
    ++pos;
  return pos;
}

}  // namespace rb
