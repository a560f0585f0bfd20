#include "explorer/look_line.h"

#include "builder/c_string_literal.h"
#include "shell/utf8.h"

namespace rb {

namespace {

// From the backslash that ends the short name to the first description
// character: \n");write_user(user,"
constexpr std::size_t kNameToDescription = 22;

// What is left of the look line after the last description line.
constexpr std::string_view kLookLineTail = "\");\n";

// Stored as a C string of limited size would hold it, without splitting a
// UTF-8 character at the cut.
std::string stored(std::string text, std::size_t max) {
  const std::size_t nul = text.find('\0');
  if (nul < max) max = nul;
  if (text.size() > max) text.resize(cutAtCharacter(text, max));
  return text;
}

}  // namespace

void cutLookLine(std::string_view line, MapRoom& room) {
  room.shortName.clear();
  for (std::string& out : room.description)
    out.clear();
  const std::size_t quote = line.find('"');
  if (quote == std::string_view::npos) return;
  std::size_t pos = quote + 1;
  std::string name = decodeEscaped(line, pos);
  // A name without an end takes the rest of the line, less its line break,
  // and the line has no description.
  const bool ended = pos < line.size();
  if (!ended && !name.empty() && name.back() == '\n') name.pop_back();
  room.shortName = stored(std::move(name), kMapShortNameMax);
  if (!ended) return;
  pos += kNameToDescription;
  for (std::string& out : room.description) {
    if (pos >= line.size()) break;  // an earlier line ran to the end
    std::string text = decodeEscaped(line, pos);
    pos = pos < line.size() ? pos + 2 : line.size();
    out = text == kLookLineTail ? std::string() : stored(std::move(text), kMapLineMax);
  }
}

}  // namespace rb
