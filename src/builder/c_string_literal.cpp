#include "builder/c_string_literal.h"

#include <array>

namespace rb {

namespace {

// The escape letter of each character that needs one, 0 for the others.
constexpr std::array<char, 256> kEscapes = [] {
  std::array<char, 256> escapes{};
  escapes['\\'] = '\\';
  escapes['"'] = '"';
  escapes['\r'] = 'r';
  return escapes;
}();

}  // namespace

void appendEscaped(std::string& out, std::string_view text) {
  std::size_t plain = 0;  // start of the run of characters written as they are
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char escape = kEscapes[static_cast<unsigned char>(text[i])];
    if (escape == 0) continue;
    out.append(text.data() + plain, i - plain);
    out.push_back('\\');
    out.push_back(escape);
    plain = i + 1;
  }
  out.append(text.data() + plain, text.size() - plain);
}

}  // namespace rb
