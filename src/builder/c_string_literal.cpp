#include "builder/c_string_literal.h"

namespace rb {

void appendEscaped(std::string& out, std::string_view text) {
  std::size_t plain = 0;  // start of the run of characters written as they are
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\\' && c != '"' && c != '\r') continue;
    out.append(text.data() + plain, i - plain);
    out.push_back('\\');
    out.push_back(c == '\r' ? 'r' : c);
    plain = i + 1;
  }
  out.append(text.data() + plain, text.size() - plain);
}

}  // namespace rb
