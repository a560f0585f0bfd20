#include "shell/number_text.h"

namespace rb {

int textToInt(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r'))) {
    ++pos;
  }
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  IntDigits number(negative);
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos)
    number.add(text[pos]);
  return number.value();
}

}  // namespace rb
