// Whole numbers typed or read as text, clamped to the range of int: a number
// beyond that range is never stored as garbage.
#pragma once

#include <string_view>

namespace rb {

// Collects the decimal digits of a number one by one.
class IntDigits {
 public:
  explicit IntDigits(bool negative) : negative_(negative) {}
  void add(char digit) {
    // Accumulate only while the magnitude can still fit; further digits clamp.
    if (magnitude_ <= kBound) magnitude_ = magnitude_ * 10 + (digit - '0');
  }
  int value() const {
    if (negative_) return magnitude_ >= kBound ? -kMax - 1 : static_cast<int>(-magnitude_);
    return magnitude_ > kMax ? kMax : static_cast<int>(magnitude_);
  }

 private:
  static constexpr long long kMax = 2147483647;  // INT_MAX
  static constexpr long long kBound = kMax + 1;
  bool negative_;
  long long magnitude_ = 0;
};

// Converts text as the standard atoi does: leading white space, one optional
// sign, then digits up to the first other character; text that does not
// begin with a number gives 0.
int textToInt(std::string_view text);

// A whole number: an optional sign and decimal digits (leading zeros too),
// nothing else; false when `text` is not one or lies beyond int.
bool wholeIntInRange(std::string_view text, int& value);

// Reads at `pos` a number in the form in which "%d" writes one (digits
// after an optional minus, no leading zero, no "-0") within the range of
// int, and moves `pos` past it; false, `pos` unchanged, for anything else.
// Inline: the strict readings ask it of every number of a record.
inline bool takeWrittenInt(std::string_view text, std::size_t& pos, int& value) {
  std::size_t at = pos;
  const bool negative = at < text.size() && text[at] == '-';
  at += negative ? 1 : 0;
  const std::size_t first = at;
  long long magnitude = 0;
  // Eleven digits are already beyond int; reading stops there.
  for (; at < text.size() && at - first < 11 && text[at] >= '0' && text[at] <= '9'; ++at)
    magnitude = magnitude * 10 + (text[at] - '0');
  const std::size_t digits = at - first;
  if (digits == 0 || digits > 10 || (text[first] == '0' && (digits > 1 || negative))) return false;
  const long long signedValue = negative ? -magnitude : magnitude;
  if (signedValue < -2147483648LL || signedValue > 2147483647LL) return false;
  value = static_cast<int>(signedValue);
  pos = at;
  return true;
}

}  // namespace rb
