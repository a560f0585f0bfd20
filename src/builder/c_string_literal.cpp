#include "builder/c_string_literal.h"

namespace rb {

void appendEscaped(std::string& out, std::string_view text) {
  for (;;) {
    const std::size_t special = text.find_first_of("\\\"\r");
    out.append(text.substr(0, special));
    if (special == std::string_view::npos) return;
    out.push_back('\\');
    out.push_back(text[special] == '\r' ? 'r' : text[special]);
    text.remove_prefix(special + 1);
  }
}

}  // namespace rb
