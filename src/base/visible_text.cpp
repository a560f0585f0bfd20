#include "base/visible_text.h"

namespace rb {

namespace {

bool isControl(unsigned char c) {
  return c < 0x20 || c == 0x7F;
}

// Appends `text`, each control byte that `shown` takes written by `show`.
template <class Shown, class Show>
void appendVisible(std::string& out, std::string_view text, Shown shown, Show show) {
  std::size_t plain = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (!shown(c)) continue;
    out.append(text.data() + plain, i - plain);
    show(c);
    plain = i + 1;
  }
  out.append(text.data() + plain, text.size() - plain);
}

}  // namespace

void appendCaretNotation(std::string& out, std::string_view text) {
  appendVisible(
      out, text, [](unsigned char c) { return isControl(c) && c != '\t'; },
      [&](unsigned char c) {
        out.push_back('^');
        out.push_back(c == 0x7F ? '?' : static_cast<char>(c + '@'));
      });
}

void appendHexEscaped(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  appendVisible(out, text, isControl, [&](unsigned char c) {
    out.append("\\x");
    out.push_back(kHex[c >> 4]);
    out.push_back(kHex[c & 0xF]);
  });
}

void appendCQuoted(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out.push_back('"');
  appendVisible(
      out, text, [](unsigned char c) { return isControl(c) || c == '"' || c == '\\'; },
      [&](unsigned char c) {
        out.push_back('\\');
        switch (c) {
          case '"':
          case '\\':
            out.push_back(static_cast<char>(c));
            break;
          case '\t':
            out.push_back('t');
            break;
          case '\r':
            out.push_back('r');
            break;
          case '\n':
            out.push_back('n');
            break;
          default:
            out.push_back('x');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0xF]);
        }
      });
  out.push_back('"');
}

}  // namespace rb
