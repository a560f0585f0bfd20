#include "shell/number_text.h"

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
  const std::pair<const char*, std::size_t> table[] = {
      {"0", 1},         {"-1,", 2}, {"2147483647", 10}, {"-2147483648 ", 11}, {"2147483648", 0},
      {"-2147483649", 0}, {"01", 0}, {"-0", 0},           {"+1", 0},             {"-", 0},
      {"", 0},          {"99999999999", 0}, {"12345678901", 0}, {" 1", 0}};
  for (const auto& [text, length] : table) {
    std::size_t pos = 0;
    int value = 7;
    EXPECT_EQ(takeWrittenInt(text, pos, value), length > 0) << text;
    EXPECT_EQ(pos, length) << text;
    if (length == 0) {
      EXPECT_EQ(value, 7) << text;
    }
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
    const bool writers =
        error == std::errc() && std::to_string(expected) == text.substr(0, length);
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
