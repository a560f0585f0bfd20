#include "base/utf8.h"

#include <gtest/gtest.h>

#include <random>

namespace rb {
namespace {

TEST(Utf8, ValidSequences) {
  EXPECT_TRUE(isValidUtf8("plain \xc3\xa9 \xe6\x97\xa5 \xf0\x9d\x84\x9e"));
  // Stray continuation, overlong forms, surrogates, beyond U+10FFFF, cut short.
  for (const char* bad : {"\x80", "\xc0\xaf", "\xe0\x80\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80",
                          "\xf5\x80\x80\x80", "\xe6\x97", "\xe9x"}) {
    EXPECT_FALSE(isValidUtf8(bad)) << testing::PrintToString(std::string(bad));
  }
}

TEST(Utf8, CutsNeverSplitACharacter) {
  // A two-, three- and four-byte character straddling a limit of 5.
  const std::string two = "abcd\xc3\xa9", three = "abcd\xe6\x97\xa5", four = "abc\xf0\x9d\x84\x9e";
  EXPECT_EQ(cutAtCharacter(two, 5), 4u);
  EXPECT_EQ(cutAtCharacter(three, 5), 4u);
  EXPECT_EQ(cutAtCharacter(three + "x", 6), 4u);
  EXPECT_EQ(cutAtCharacter(four, 5), 3u);
  EXPECT_EQ(cutAtCharacter(four, 6), 3u);
  EXPECT_EQ(cutAtCharacter(four, 7), 7u);
  // Characters ending at the limit, and texts within it, are kept whole.
  EXPECT_EQ(cutAtCharacter(two, 6), 6u);
  EXPECT_EQ(cutAtCharacter(two + "x", 6), 6u);
  // Latin-1: 0xE9 before an ASCII byte is no UTF-8 and is kept.
  EXPECT_EQ(cutAtCharacter("abcd\xe9xyz", 5), 5u);
  EXPECT_EQ(cutAtCharacter("abcd\xe9\xa9"
                           "A",
                           5),
            5u);  // not a valid sequence either
}

// Any valid text cut at any limit: a valid prefix, as long as possible.
TEST(Utf8, CutOfValidTextIsTheLongestValidPrefix) {
  std::mt19937 random(9);
  const std::string pieces[] = {"a", "\xc3\xa9", "\xe6\x97\xa5", "\xf0\x9d\x84\x9e"};
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    const int count = std::uniform_int_distribution<int>(0, 12)(random);
    for (int i = 0; i < count; ++i)
      text += pieces[std::uniform_int_distribution<int>(0, 3)(random)];
    const std::size_t limit =
        std::uniform_int_distribution<std::size_t>(0, text.size() + 2)(random);
    const std::size_t kept = cutAtCharacter(text, limit);
    ASSERT_LE(kept, limit);
    ASSERT_TRUE(isValidUtf8(text.substr(0, kept))) << text << " " << limit;
    // The next character would not have fitted.
    if (kept < text.size()) {
      ASSERT_GT(kept + characterLength(text, kept), limit);
    }
  }
}

TEST(Utf8, Columns) {
  const std::string text = "a\xc3\xa9\xe6\x97\xa5\xcc\x81\xe9";
  EXPECT_EQ(characterColumns(text, 0), 1);  // a
  EXPECT_EQ(characterColumns(text, 1), 1);  // é
  EXPECT_EQ(characterColumns(text, 3), 2);  // wide
  EXPECT_EQ(characterColumns(text, 6), 0);  // combining acute accent
  EXPECT_EQ(characterColumns(text, 8), 1);  // a Latin-1 byte shows as one character
  EXPECT_EQ(characterLength(text, 8), 1u);
}

}  // namespace
}  // namespace rb
