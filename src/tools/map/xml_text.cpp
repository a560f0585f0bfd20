#include "tools/map/xml_text.h"

#include "base/utf8.h"

namespace rb {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Characters XML 1.0 does not allow: most control characters, and
// U+FFFE and U+FFFF.
bool forbiddenInXml(std::string_view character) {
  if (character.size() == 1) {
    const auto c = static_cast<unsigned char>(character[0]);
    return c < 0x20 && c != '\t' && c != '\n' && c != '\r';
  }
  return character == "\xEF\xBF\xBE" || character == "\xEF\xBF\xBF";
}

}  // namespace

void appendXmlText(std::string& out, std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = utf8Length(text, pos);
    if (length == 0) {
      out.append(kReplacement);
      ++pos;
      continue;
    }
    const std::string_view character = text.substr(pos, length);
    pos += length;
    if (forbiddenInXml(character)) {
      out.append(kReplacement);
      continue;
    }
    switch (character[0]) {
      case '&':
        out.append("&amp;");
        break;
      case '<':
        out.append("&lt;");
        break;
      case '>':
        out.append("&gt;");
        break;
      case '"':
        out.append("&quot;");
        break;
      case '\'':
        out.append("&apos;");
        break;
      default:
        out.append(character);
    }
  }
}

}  // namespace rb
