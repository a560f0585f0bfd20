#include "format/loose_record.h"

#include "base/char_class.h"
#include "base/number_text.h"
#include "base/utf8.h"
#include "format/c_string_literal.h"
#include "format/function_name.h"
#include "format/record_format.h"

namespace rb {

namespace {

// The short name and a description line as the explorer's fixed-size
// buffers hold them.
constexpr std::size_t kShortNameMax = kShortNameSize - 1;
constexpr std::size_t kLineMax = kTextLineSize - 1;

// From the backslash that ends the short name to the first description
// character: \n");write_user(user,"
constexpr std::size_t kNameToDescription =
    format::kTextLineEnd.size() + format::kNameToDescription.size();

// What is left of the look line after the last description line.
constexpr std::string_view kLookLineTail = "\");\n";

// Stored as a C string of limited size would hold it, without splitting a
// UTF-8 character at the cut.
void store(std::string& text, std::size_t max) {
  const std::size_t nul = text.find('\0');
  if (nul < max) max = nul;
  if (text.size() > max) text.resize(cutAtCharacter(text, max));
}

bool startsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

}  // namespace

std::uint16_t scanLinks(std::string_view line, Exits& exits,
                        std::array<std::string_view, kExitCount + 1>* numbers) {
  std::uint16_t outOfRange = 0;
  std::size_t pos = 0;
  const auto skipBlanks = [&] {
    while (pos < line.size() && isSpace(line[pos]))
      ++pos;
  };
  // A blank in the pattern matches any white space, also none.
  const auto match = [&](std::string_view pattern) {
    for (char c : pattern) {
      if (c == ' ') {
        skipBlanks();
      } else if (pos < line.size() && line[pos] == c) {
        ++pos;
      } else {
        return false;
      }
    }
    return true;
  };
  if (!match(format::kLinksStart)) return outOfRange;
  for (int slot = 1; slot <= kExitCount; ++slot) {
    if (slot > 1 && !match(format::kExitSeparator)) return outOfRange;
    skipBlanks();
    const std::size_t start = pos;
    if (pos < line.size() && (line[pos] == '+' || line[pos] == '-')) ++pos;
    const std::size_t digits = pos;
    while (pos < line.size() && isDigit(line[pos]))
      ++pos;
    if (pos == digits) return outOfRange;
    const std::string_view number = line.substr(start, pos - start);
    if (numbers) (*numbers)[static_cast<std::size_t>(slot)] = number;
    int value = 0;
    if (wholeIntInRange(number, value)) {
      exits[static_cast<std::size_t>(slot)] = value;
    } else {
      exits[static_cast<std::size_t>(slot)] = kNoExit;
      outOfRange = static_cast<std::uint16_t>(outOfRange | (1u << slot));
    }
  }
  return outOfRange;
}

std::string_view linksNumberText(std::string_view record, int slot) {
  for (std::size_t pos = 0; pos < record.size();) {
    const std::size_t end = record.find('\n', pos);
    const std::string_view line =
        record.substr(pos, end == std::string_view::npos ? end : end - pos + 1);
    if (startsWith(line, format::kLinksStart)) {
      Exits exits;
      std::array<std::string_view, kExitCount + 1> numbers{};
      scanLinks(line, exits, &numbers);
      return numbers[static_cast<std::size_t>(slot)];
    }
    if (end == std::string_view::npos) break;
    pos = end + 1;
  }
  return {};
}

void cutLookLine(std::string_view line, WorkingRoom& room) {
  room.shortname.clear();
  for (std::string& out : room.ldesc)
    out.clear();
  room.lines = kMaxTextLines - 1;
  const std::size_t quote = line.find('"');
  if (quote == std::string_view::npos) return;
  std::size_t pos = quote + 1;
  decodeEscaped(line, pos, room.shortname);
  // A name without an end takes the rest of the line, less its line break,
  // and the line has no description.
  const bool ended = pos < line.size();
  if (!ended && !room.shortname.empty() && room.shortname.back() == '\n') {
    room.shortname.pop_back();
  }
  store(room.shortname, kShortNameMax);
  if (!ended) return;
  pos += kNameToDescription;
  for (std::string& out : room.ldesc) {
    if (pos >= line.size()) break;  // an earlier line ran to the end
    decodeEscaped(line, pos, out);
    pos = pos < line.size() ? pos + format::kTextLineEnd.size() : line.size();
    if (out == kLookLineTail) {
      out.clear();
    } else {
      store(out, kLineMax);
    }
  }
}

std::uint16_t readLoosely(std::string_view record, WorkingRoom& room) {
  clearForReading(room);
  std::uint16_t outOfRange = 0;
  room.room = headerRoomNumber(record.substr(0, record.find('\n')));
  bool links = false, look = false;
  while (!record.empty() && !(links && look)) {
    const std::size_t end = record.find('\n');
    const std::string_view line = record.substr(0, end == std::string_view::npos ? end : end + 1);
    record.remove_prefix(line.size());
    if (!links && startsWith(line, format::kLinksStart)) {
      links = true;
      outOfRange = scanLinks(line, room.exitd);
    } else if (!look && startsWith(line, format::kLookStart)) {
      look = true;
      cutLookLine(line, room);
    }
  }
  return outOfRange;
}

}  // namespace rb
