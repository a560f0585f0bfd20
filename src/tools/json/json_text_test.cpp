#include "tools/json/json_text.h"

#include <gtest/gtest.h>

#include <random>

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "base/utf8.h"

namespace rb {
namespace {

// Any bytes become valid UTF-8 and come back the same: stray bytes, cut
// sequences, and the escape block's own characters among valid text.
TEST(JsonText, AnyBytesComeBackTheSame) {
  const std::string pieces[] = {"a",
                                "\xc3\xa9",
                                "\xe9",
                                "\xef\x9c\x80",
                                "\xef\x9f\xbf",
                                "\xef",
                                "\x80",
                                "\xf0\x9f\x98\x80",
                                "\xed\xa0\x80",
                                "\0",
                                "\"\\",
                                "\n\t\r\b\f",
                                "\x01\x1f\x7f/"};
  std::mt19937 random(3);
  for (int round = 0; round < 20000; ++round) {
    std::string bytes;
    for (int n = static_cast<int>(random() % 12); n > 0; --n) {
      const std::string& piece = pieces[random() % std::size(pieces)];
      bytes += piece.empty() ? std::string(1, '\0') : piece;
    }
    const std::string text = jsonText(bytes);
    ASSERT_TRUE(isValidUtf8(text)) << round;
    ASSERT_EQ(bytesOfJsonText(text), bytes) << round;
    // As a JSON string: what RapidJSON's writer makes of the text.
    rapidjson::StringBuffer written;
    rapidjson::Writer<rapidjson::StringBuffer> writer(written);
    writer.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
    std::string string;
    appendJsonString(string, bytes);
    ASSERT_EQ(string, std::string(written.GetString(), written.GetSize())) << round;
  }
  EXPECT_EQ(jsonText("caf\xe9"), "caf\xef\x9f\xa9");
  EXPECT_EQ(jsonText("\xc3\xa9"), "\xc3\xa9");
}

}  // namespace
}  // namespace rb
