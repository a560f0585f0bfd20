#include "format/c_string_literal.h"

#include <gtest/gtest.h>

namespace rb {
namespace {

TEST(CStringLiteral, EscapesBackslashQuoteCarriageReturnAndTrigraphs) {
  std::string out;
  appendEscaped(out, "plain\ttab 'single' ? \\ \" \r end");
  EXPECT_EQ(out, "plain\ttab 'single' ? \\\\ \\\" \\r end");
  out.clear();
  // The second of two '?' is escaped, so no trigraph can form.
  appendEscaped(out,
                "What?"
                "?! ?"
                "?? ?a?");
  EXPECT_EQ(out, "What?\\?! ?\\?\\? ?a?");
}

// What the writer escapes reads back as it was, and a backslash that begins
// no escape of the writer's ends the text there.
TEST(CStringLiteral, DecodesWhatItWritesAndStopsAtOtherEscapes) {
  const std::string text = "a\\b \"q\" \r ?? ??? end";
  std::string written;
  appendEscaped(written, text);
  std::size_t pos = 0;
  std::string read;
  decodeEscaped(written + "\\n rest", pos, read);
  EXPECT_EQ(read, text);
  EXPECT_EQ(pos, written.size());
  pos = 0;
  decodeEscaped("x\"y", pos, read, true);
  EXPECT_EQ(read, "x");
  EXPECT_EQ(pos, 1u);
}

}  // namespace
}  // namespace rb
