#include "base/number_text.h"

#include <gtest/gtest.h>

#include <charconv>
#include <random>
#include <string>

namespace rb {
namespace {

// A number in the form in which "%d" writes one, read where it starts: the
// ends of int, and what "%d" never writes (a sign other than one minus,
// leading zeros, "-0", numbers beyond int), against std::from_chars with
// std::to_string as the judge of the form.
TEST(NumberText, TakesOnlyNumbersAsPercentDWritesThem) {
  const std::pair<const char*, std::size_t> taken[] = {
      {"0", 1}, {"-1,", 2}, {"2147483647", 10}, {"-2147483648 ", 11}};
  for (const auto& [text, length] : taken) {
    std::size_t pos = 0;
    int value = 7;
    EXPECT_TRUE(takeWrittenInt(text, pos, value)) << text;
    EXPECT_EQ(pos, length) << text;
  }
  for (const char* text : {"2147483648", "-2147483649", "01", "-0", "+1", "-", "", "99999999999",
                           "12345678901", " 1"}) {
    std::size_t pos = 0;
    int value = 7;
    EXPECT_FALSE(takeWrittenInt(text, pos, value)) << text;
    EXPECT_EQ(pos, 0u) << text;
    EXPECT_EQ(value, 7) << text;
  }
  const char alphabet[] = "0123456789-+ ,";
  std::mt19937 random(11);
  for (int round = 0; round < 100000; ++round) {
    std::string text;
    for (int n = static_cast<int>(random() % 13); n > 0; --n)
      text += alphabet[random() % (sizeof alphabet - 1)];
    int expected = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), expected);
    const std::size_t length = static_cast<std::size_t>(end - text.data());
    const bool writers = error == std::errc() && std::to_string(expected) == text.substr(0, length);
    std::size_t pos = 0;
    int value = 0;
    ASSERT_EQ(takeWrittenInt(text, pos, value), writers) << text;
    if (writers) {
      ASSERT_EQ(value, expected) << text;
      ASSERT_EQ(pos, length) << text;
    }
  }
}

}  // namespace
}  // namespace rb
