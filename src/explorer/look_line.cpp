#include "explorer/look_line.h"

#include "shell/utf8.h"

namespace rb {

namespace {

// From the backslash that ends the short name to the first description
// character: \n");write_user(user,"
constexpr std::size_t kNameToDescription = 22;

// What is left of the look line after the last description line.
constexpr std::string_view kLookLineTail = "\");\n";

struct Text {
  std::string value;
  bool ended;  // stopped at a backslash that is not an escape of the writer's
};

// Decodes text from `pos` up to the backslash that ends it (left at `pos`),
// or up to the end of the line.
Text readText(std::string_view line, std::size_t& pos) {
  Text text{{}, false};
  while (pos < line.size()) {
    const char c = line[pos];
    if (c != '\\') {
      text.value.push_back(c);
      ++pos;
      continue;
    }
    const char next = pos + 1 < line.size() ? line[pos + 1] : '\0';
    if (next == '\\' || next == '"' || next == 'r' || next == '?') {
      text.value.push_back(next == 'r' ? '\r' : next);
      pos += 2;
      continue;
    }
    text.ended = true;
    break;
  }
  return text;
}

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
  Text name = readText(line, pos);
  // A name without an end takes the rest of the line, less its line break,
  // and the line has no description.
  if (!name.ended && !name.value.empty() && name.value.back() == '\n') name.value.pop_back();
  room.shortName = stored(std::move(name.value), kMapShortNameMax);
  if (!name.ended) return;
  pos += kNameToDescription;
  for (std::string& out : room.description) {
    if (pos >= line.size()) break;  // an earlier line ran to the end
    Text text = readText(line, pos);
    pos = text.ended ? pos + 2 : line.size();
    out = text.value == kLookLineTail ? std::string() : stored(std::move(text.value), kMapLineMax);
  }
}

}  // namespace rb
