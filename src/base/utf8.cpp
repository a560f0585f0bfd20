#include "base/utf8.h"

#include <cstdint>
#include <cstring>

#include <utf8proc.h>

#include <algorithm>

namespace rb {

namespace {

constexpr std::size_t kMaxSequence = 4;
constexpr int kTabStop = 8;

bool isContinuation(unsigned char c) {
  return (c & 0xC0) == 0x80;
}

// The code point of the valid sequence of `length` bytes at `pos`.
char32_t decode(std::string_view text, std::size_t pos, std::size_t length) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
  if (length == 1) return byte(0);
  char32_t value = byte(0) & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i)
    value = (value << 6) | (byte(i) & 0x3F);
  return value;
}

}  // namespace

std::size_t utf8Length(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) return 0;
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) return 1;
  std::size_t length;
  unsigned char low = 0x80, high = 0xBF;  // range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing beyond U+10FFFF
  } else {
    return 0;
  }
  if (text.size() - pos < length) return 0;
  const auto second = static_cast<unsigned char>(text[pos + 1]);
  if (second < low || second > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (!isContinuation(static_cast<unsigned char>(text[pos + i]))) return 0;
  }
  return length;
}

std::size_t cutAtCharacter(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return text.size();
  // A character straddling the limit starts at most three bytes before it.
  const std::size_t earliest = limit >= kMaxSequence - 1 ? limit - (kMaxSequence - 1) : 0;
  for (std::size_t start = limit; start-- > earliest;) {
    const auto c = static_cast<unsigned char>(text[start]);
    if (isContinuation(c)) continue;
    const std::size_t length = utf8Length(text, start);
    return length > 0 && start + length > limit ? start : limit;
  }
  return limit;
}

std::size_t firstInvalidUtf8(std::string_view text) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
  for (std::size_t pos = 0; pos < text.size();) {
    // ASCII eight bytes at a time, as most text is.
    std::uint64_t word;
    if (text.size() - pos >= sizeof word) {
      std::memcpy(&word, text.data() + pos, sizeof word);
      if ((word & kHighBits) == 0) {
        pos += sizeof word;
        continue;
      }
    }
    const std::size_t length = utf8Length(text, pos);
    if (length == 0) return pos;
    pos += length;
  }
  return text.size();
}

bool isValidUtf8(std::string_view text) {
  return firstInvalidUtf8(text) == text.size();
}

std::size_t characterLength(std::string_view text, std::size_t pos) {
  const std::size_t length = utf8Length(text, pos);
  return length > 0 ? length : 1;
}

int characterColumns(std::string_view text, std::size_t pos) {
  const std::size_t length = utf8Length(text, pos);
  if (length <= 1) return 1;
  // The Unicode data of utf8proc: 0 for combining marks, 2 for wide
  // characters; never less than 0.
  const int columns = utf8proc_charwidth(static_cast<utf8proc_int32_t>(decode(text, pos, length)));
  return columns < 0 ? 0 : columns;
}

int displayWidth(std::string_view text) {
  // Plain ASCII without tabs, as most lines are: a column a byte.
  if (std::all_of(text.begin(), text.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x80 && c != '\t'; })) {
    return static_cast<int>(text.size());
  }
  int columns = 0;
  for (std::size_t pos = 0; pos < text.size(); pos += characterLength(text, pos)) {
    if (text[pos] == '\t') {
      columns = (columns / kTabStop + 1) * kTabStop;
    } else {
      columns += characterColumns(text, pos);
    }
  }
  return columns;
}

}  // namespace rb
