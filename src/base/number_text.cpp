#include "base/number_text.h"

#include "base/char_class.h"

namespace rb {

int textToInt(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && isSpace(text[pos]))
    ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  IntDigits number(negative);
  for (; pos < text.size() && isDigit(text[pos]); ++pos)
    number.add(text[pos]);
  return number.value();
}

bool wholeIntInRange(std::string_view text, int& value) {
  std::size_t pos = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
  if (pos == text.size()) return false;
  const bool negative = text[0] == '-';
  long long magnitude = 0;
  for (; pos < text.size(); ++pos) {
    if (!isDigit(text[pos])) return false;
    magnitude = magnitude * 10 + (text[pos] - '0');
    if (magnitude > 2147483648LL) return false;
  }
  const long long signedValue = negative ? -magnitude : magnitude;
  if (signedValue > 2147483647LL) return false;
  value = static_cast<int>(signedValue);
  return true;
}

}  // namespace rb
