// Appending texts, characters, integers (in decimal) and real numbers to a
// string: how the console builds its output and the room writer its records.
#pragma once

#include <charconv>
#include <string>
#include <string_view>
#include <type_traits>

namespace rb {

inline void appendPiece(std::string& out, std::string_view text) {
  out.append(text);
}
inline void appendPiece(std::string& out, char c) {
  out.push_back(c);
}

template <class Int, class = std::enable_if_t<std::is_integral_v<Int>>>
void appendPiece(std::string& out, Int value) {
  static_assert(!std::is_same_v<Int, bool>, "append a bool as text");
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, static_cast<std::size_t>(result.ptr - digits));
}

// A real number written with six digits after the point, as "%f" writes it.
struct SixDecimals {
  double value;
};

inline void appendPiece(std::string& out, SixDecimals number) {
  char digits[400];  // the largest double has 309 digits before the point
  const auto result =
      std::to_chars(digits, digits + sizeof digits, number.value, std::chars_format::fixed, 6);
  out.append(digits, result.ptr);
}

template <class... Args>
void appendText(std::string& out, const Args&... args) {
  (appendPiece(out, args), ...);
}

// A count and its noun, in the plural but at 1: "1 room", "2 rooms". (Nouns
// that take an s only.)
inline std::string counted(long long count, std::string_view noun) {
  std::string text;
  appendText(text, count, " ", noun, count == 1 ? "" : "s");
  return text;
}

}  // namespace rb
