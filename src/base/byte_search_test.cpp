// The block search against a byte-by-byte one, on texts whose bytes of
// interest fall at every place in and around a 16-byte block, with bytes of
// every value around them (a signed comparison would miss those over 127).
#include "base/byte_search.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace rb {
namespace {

TEST(ByteSearch, FindsWhatAByteByByteSearchFinds) {
  std::mt19937 random(7);
  for (int round = 0; round < 20000; ++round) {
    std::string text(random() % 70, 'a');
    for (char& c : text) {
      // Mostly plain bytes, now and then one looked for.
      const auto pick = random() % 40;
      c = pick == 0 ? '?' : pick == 1 ? '\0' : static_cast<char>(random() % 256);
    }
    const std::size_t from = text.empty() ? 0 : random() % (text.size() + 1);
    std::size_t expected = from;
    while (expected < text.size() && text[expected] != '?' && text[expected] != '\0' &&
           text[expected] != '\xff')
      ++expected;
    ASSERT_EQ((findFirstOf<'?', '\0', '\xff'>(text, from)), expected)
        << "round " << round << ", from " << from;
  }
}

}  // namespace
}  // namespace rb
