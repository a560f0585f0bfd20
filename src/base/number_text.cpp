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

}  // namespace rb
