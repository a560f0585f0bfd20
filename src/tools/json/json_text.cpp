#include "tools/json/json_text.h"

#include <array>

#include "base/utf8.h"

namespace rb {

namespace {

constexpr unsigned kEscapeBlock = 0xF700;

void appendCodePoint(std::string& out, unsigned c) {
  // Three bytes: every character of the block lies in U+0800..U+FFFF.
  out.push_back(static_cast<char>(0xE0 | (c >> 12)));
  out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
  out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
}

// Whether the valid three-byte character at `pos` lies in the block.
bool inEscapeBlock(std::string_view text, std::size_t pos) {
  const auto b0 = static_cast<unsigned char>(text[pos]);
  const auto b1 = static_cast<unsigned char>(text[pos + 1]);
  // U+F700..U+F7FF: EF 9C 80 .. EF 9F BF.
  return b0 == 0xEF && b1 >= 0x9C && b1 <= 0x9F;
}

}  // namespace

namespace {

// What a byte is to a JSON string: ASCII written as it is, ASCII escaped
// (a quote, a backslash, a control character), or the start of more.
enum : unsigned char { kPlain, kEscaped, kWide };

constexpr std::array<unsigned char, 256> byteKinds(bool escape) {
  std::array<unsigned char, 256> kinds{};
  for (unsigned c = 0; c < 256; ++c) {
    kinds[c] = c >= 0x80                                       ? kWide
               : escape && (c < 0x20 || c == '"' || c == '\\') ? kEscaped
                                                               : kPlain;
  }
  return kinds;
}
constexpr std::array<unsigned char, 256> kTextKinds = byteKinds(false);
constexpr std::array<unsigned char, 256> kStringKinds = byteKinds(true);

// An escaped character as JSON writers write it: the short forms, and
// \u00XX (capital hex digits) for the other control characters.
void appendEscaped(std::string& out, unsigned char c) {
  constexpr char kHex[] = "0123456789ABCDEF";
  out.push_back('\\');
  switch (c) {
    case '"':
    case '\\':
      out.push_back(static_cast<char>(c));
      return;
    case '\b':
      out.push_back('b');
      return;
    case '\f':
      out.push_back('f');
      return;
    case '\n':
      out.push_back('n');
      return;
    case '\r':
      out.push_back('r');
      return;
    case '\t':
      out.push_back('t');
      return;
    default:
      out += "u00";
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
  }
}

void appendValid(std::string& out, std::string_view bytes,
                 const std::array<unsigned char, 256>& kinds) {
  for (std::size_t pos = 0; pos < bytes.size();) {
    // Plain ASCII, most of every text, goes as it is, a run at a time.
    std::size_t plain = pos;
    while (plain < bytes.size() && kinds[static_cast<unsigned char>(bytes[plain])] == kPlain)
      ++plain;
    out.append(bytes.substr(pos, plain - pos));
    pos = plain;
    if (pos == bytes.size()) break;
    const auto c = static_cast<unsigned char>(bytes[pos]);
    if (kinds[c] == kEscaped) {
      appendEscaped(out, c);
      ++pos;
      continue;
    }
    const std::size_t length = utf8Length(bytes, pos);
    if (length == 0 || (length == 3 && inEscapeBlock(bytes, pos))) {
      // A byte that is not UTF-8, or one of a character of the block.
      const std::size_t count = length == 0 ? 1 : length;
      for (std::size_t k = 0; k < count; ++k)
        appendCodePoint(out, kEscapeBlock + static_cast<unsigned char>(bytes[pos + k]));
      pos += count;
      continue;
    }
    out.append(bytes.substr(pos, length));
    pos += length;
  }
}

}  // namespace

void appendJsonText(std::string& out, std::string_view bytes) {
  appendValid(out, bytes, kTextKinds);
}

void appendJsonString(std::string& out, std::string_view bytes) {
  out.push_back('"');
  appendValid(out, bytes, kStringKinds);
  out.push_back('"');
}

std::string jsonText(std::string_view bytes) {
  std::string out;
  appendJsonText(out, bytes);
  return out;
}

void assignBytesOfJsonText(std::string& out, std::string_view text) {
  out.clear();
  // Every escaped byte begins with EF; most texts have none.
  std::size_t pos = 0;
  for (std::size_t ef = text.find('\xEF'); ef != std::string_view::npos;
       ef = text.find('\xEF', pos)) {
    out.append(text.substr(pos, ef - pos));
    pos = ef;
    if (pos + 2 < text.size() && inEscapeBlock(text, pos)) {
      // EF 9C..9F xx: the byte is the low two bits of the second byte and
      // the low six of the third.
      const auto second = static_cast<unsigned char>(text[pos + 1]);
      const auto third = static_cast<unsigned char>(text[pos + 2]);
      out.push_back(static_cast<char>((second & 0x03u) << 6 | (third & 0x3Fu)));
      pos += 3;
    } else {
      out.push_back(text[pos++]);
    }
  }
  out.append(text.substr(pos));
}

std::string bytesOfJsonText(std::string_view text) {
  std::string out;
  assignBytesOfJsonText(out, text);
  return out;
}

}  // namespace rb
