#include "terminal/number_scan.h"

#include <cfloat>
#include <cstdlib>
#include <string>

#include "base/char_class.h"
#include "base/number_text.h"

namespace rb {

namespace {

// Significant digits kept of a typed real. Every halfway point between two
// floats has fewer, so keeping this many and marking the digits dropped
// rounds exactly as converting the whole text would.
constexpr std::size_t kMaxFloatDigits = 200;
// Bound on a typed exponent; far beyond what a float can hold either way.
constexpr long kMaxExponent = 100000;

// Takes an optional sign; true for a minus.
bool readSign(ByteQueue& in) {
  const int c = in.peek();
  if (c != '+' && c != '-') return false;
  in.skip();
  return c == '-';
}

}  // namespace

bool scanInt(ByteQueue& in, int& value) {
  IntDigits number(readSign(in));
  if (!isDigit(in.peek())) return false;
  for (int c = in.peek(); isDigit(c); c = in.peek()) {
    in.skip();
    number.add(static_cast<char>(c));
  }
  value = number.value();
  return true;
}

bool scanFloat(ByteQueue& in, float& value) {
  const bool negative = readSign(in);
  // The number is rebuilt as significant digits and a power of ten, so that
  // a very long typed number needs no more than a few hundred bytes. Digits
  // beyond those kept only matter by being there (and not all zero): one
  // more digit 1 stands for them.
  std::string digits;
  long shift = 0;
  bool anyDigit = false;
  bool dropped = false;
  const auto keep = [&](int c) {
    if (digits.size() < kMaxFloatDigits) {
      digits.push_back(static_cast<char>(c));
      return true;
    }
    if (c != '0') dropped = true;
    return false;
  };
  for (int c = in.peek(); isDigit(c); c = in.peek()) {
    in.skip();
    anyDigit = true;
    if (digits.empty() && c == '0') continue;
    if (!keep(c) && shift < kMaxExponent) ++shift;
  }
  if (in.peek() == '.' && (anyDigit || isDigit(in.peek(1)))) {
    in.skip();
    for (int c = in.peek(); isDigit(c); c = in.peek()) {
      in.skip();
      anyDigit = true;
      if (digits.empty() && c == '0') {
        if (shift > -kMaxExponent) --shift;
      } else if (keep(c) && shift > -kMaxExponent) {
        --shift;
      }
    }
  }
  if (!anyDigit) return false;
  const int e = in.peek();
  if (e == 'e' || e == 'E') {
    const int sign = in.peek(1);
    const bool signed_ = sign == '+' || sign == '-';
    if (isDigit(in.peek(signed_ ? 2 : 1))) {
      in.skip(signed_ ? 2 : 1);
      long exponent = 0;
      for (int c = in.peek(); isDigit(c); c = in.peek()) {
        in.skip();
        if (exponent < kMaxExponent) exponent = exponent * 10 + (c - '0');
      }
      shift += sign == '-' ? -exponent : exponent;
    }
  }
  float result = 0.0f;
  if (!digits.empty()) {
    if (dropped) {
      digits.push_back('1');
      --shift;
    }
    const std::string text = digits + "e" + std::to_string(shift);
    result = std::strtof(text.c_str(), nullptr);
    if (result > FLT_MAX) result = FLT_MAX;
  }
  value = negative ? -result : result;
  return true;
}

}  // namespace rb
