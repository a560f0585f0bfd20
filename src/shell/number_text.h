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

}  // namespace rb
