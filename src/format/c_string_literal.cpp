#include "format/c_string_literal.h"

#include <array>

#include "base/byte_search.h"

namespace rb {

namespace {

// The escape letter of each character that always needs one, 0 for the
// others.
constexpr std::array<char, 256> kEscapes = [] {
  std::array<char, 256> escapes{};
  escapes['\\'] = '\\';
  escapes['"'] = '"';
  escapes['\r'] = 'r';
  escapes['?'] = '?';  // only after another '?', see below
  return escapes;
}();

// The first character at or after `pos` that kEscapes names, or the end.
std::size_t plainRunEnd(std::string_view text, std::size_t pos) {
  return findFirstOf<'\\', '"', '\r', '?'>(text, pos);
}

}  // namespace

void appendEscaped(std::string& out, std::string_view text) {
  std::size_t plain = 0;  // start of the run of characters written as they are
  for (std::size_t i = plainRunEnd(text, 0); i < text.size(); i = plainRunEnd(text, i + 1)) {
    const char escape = kEscapes[static_cast<unsigned char>(text[i])];
    // "??" begins a trigraph for a strict C compiler ("??!" is '|'); the
    // second '?' written as \? keeps every compiler reading two '?'.
    if (escape == '?' && (i == 0 || text[i - 1] != '?')) continue;
    out.append(text.data() + plain, i - plain);
    out.push_back('\\');
    out.push_back(escape);
    plain = i + 1;
  }
  out.append(text.data() + plain, text.size() - plain);
}

void decodeEscaped(std::string_view line, std::size_t& pos, std::string& text, bool toQuote) {
  text.clear();
  while (pos < line.size()) {
    // The run of plain characters up to the next backslash (or quote) at once.
    std::size_t end = pos;
    while (end < line.size() && line[end] != '\\' && !(toQuote && line[end] == '"'))
      ++end;
    text.append(line.data() + pos, end - pos);
    pos = end;
    if (pos == line.size() || line[pos] == '"') break;
    const char next = pos + 1 < line.size() ? line[pos + 1] : '\0';
    if (next != '\\' && next != '"' && next != 'r' && next != '?') break;
    text.push_back(next == 'r' ? '\r' : next);
    pos += 2;
  }
}

bool decodeCanonical(std::string_view line, std::size_t& pos, std::string& text, bool toQuote) {
  text.clear();
  while (pos < line.size()) {
    const std::size_t end = plainRunEnd(line, pos);
    text.append(line.data() + pos, end - pos);
    pos = end;
    if (pos == line.size()) break;
    const char c = line[pos];
    if (c == '"') return toQuote;  // a quote ends a literal; inside a text it is escaped
    if (c == '?') {
      // A '?' is written as it is, but not after another.
      if (!text.empty() && text.back() == '?') return false;
      text.push_back('?');
      ++pos;
      continue;
    }
    if (c != '\\') return false;  // a raw carriage return
    const char next = pos + 1 < line.size() ? line[pos + 1] : '\0';
    if (next == '?' && (text.empty() || text.back() != '?')) return false;
    if (next != '\\' && next != '"' && next != 'r' && next != '?') break;  // the text ends here
    text.push_back(next == 'r' ? '\r' : next);
    pos += 2;
  }
  return true;
}

}  // namespace rb
