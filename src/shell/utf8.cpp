#include "shell/utf8.h"

#include <algorithm>
#include <array>

namespace rb {

namespace {

constexpr std::size_t kMaxSequence = 4;

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

struct Range {
  char32_t first;
  char32_t last;
};

bool inRanges(char32_t c, const Range* begin, const Range* end) {
  const Range* found =
      std::lower_bound(begin, end, c, [](const Range& r, char32_t v) { return r.last < v; });
  return found != end && found->first <= c;
}

// Combining marks and other characters that take no column of their own.
constexpr std::array<Range, 19> kZeroWidth = {{
    {0x0300, 0x036F}, {0x0483, 0x0489}, {0x0591, 0x05BD},   {0x0610, 0x061A},   {0x064B, 0x065F},
    {0x0E31, 0x0E31}, {0x0E34, 0x0E3A}, {0x0E47, 0x0E4E},   {0x1AB0, 0x1AFF},   {0x1DC0, 0x1DFF},
    {0x200B, 0x200F}, {0x202A, 0x202E}, {0x2060, 0x2064},   {0x20D0, 0x20FF},   {0xFE00, 0xFE0F},
    {0xFE20, 0xFE2F}, {0xFEFF, 0xFEFF}, {0x1F3FB, 0x1F3FF}, {0xE0100, 0xE01EF},
}};

// East Asian wide and fullwidth characters, and the emoji shown two wide.
constexpr std::array<Range, 18> kWide = {{
    {0x1100, 0x115F},
    {0x231A, 0x231B},
    {0x2E80, 0x303E},
    {0x3041, 0x33FF},
    {0x3400, 0x4DBF},
    {0x4E00, 0x9FFF},
    {0xA000, 0xA4CF},
    {0xA960, 0xA97F},
    {0xAC00, 0xD7A3},
    {0xF900, 0xFAFF},
    {0xFE30, 0xFE4F},
    {0xFF00, 0xFF60},
    {0xFFE0, 0xFFE6},
    {0x1F300, 0x1F64F},
    {0x1F900, 0x1F9FF},
    {0x1FA70, 0x1FAFF},
    {0x20000, 0x2FFFD},
    {0x30000, 0x3FFFD},
}};

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

bool isValidUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = utf8Length(text, pos);
    if (length == 0) return false;
    pos += length;
  }
  return true;
}

std::size_t characterLength(std::string_view text, std::size_t pos) {
  const std::size_t length = utf8Length(text, pos);
  return length > 0 ? length : 1;
}

int characterColumns(std::string_view text, std::size_t pos) {
  const std::size_t length = utf8Length(text, pos);
  if (length <= 1) return 1;
  const char32_t c = decode(text, pos, length);
  if (inRanges(c, kZeroWidth.data(), kZeroWidth.data() + kZeroWidth.size())) return 0;
  if (inRanges(c, kWide.data(), kWide.data() + kWide.size())) return 2;
  return 1;
}

}  // namespace rb
