#include "transfer/room_record_parser.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "builder/c_string_literal.h"
#include "builder/region_name.h"
#include "builder/room_function_name.h"
#include "builder/terrain_table.h"
#include "shell/char_class.h"
#include "shell/text_append.h"

namespace rb {

namespace {

// A record never needs more lines or words than this to show it cannot be
// edited; reading stops there.
constexpr std::size_t kReadLimit = 64;

// A reading position in a record, with the writer's pieces as steps.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}

  bool at(std::string_view literal) const { return text_.substr(pos_, literal.size()) == literal; }
  bool take(std::string_view literal) {
    if (!at(literal)) return false;
    pos_ += literal.size();
    return true;
  }
  bool takeInt(int& value) {
    const char* begin = text_.data() + pos_;
    const auto [end, error] = std::from_chars(begin, text_.data() + text_.size(), value);
    if (error != std::errc()) return false;
    pos_ += static_cast<std::size_t>(end - begin);
    return true;
  }
  // Text up to the escape \n that the writer puts after it.
  bool takeLine(std::string& text) {
    text = decodeEscaped(text_, pos_);
    return take("\\n");
  }
  // Text up to the double quote that closes its literal.
  bool takeQuoted(std::string& text) {
    text = decodeEscaped(text_, pos_, true);
    return at("\"");
  }
  // The text up to `literal`, which is taken too.
  bool takeUntil(std::string_view literal, std::string_view& text) {
    const std::size_t end = text_.find(literal, pos_);
    if (end == std::string_view::npos) return false;
    text = text_.substr(pos_, end - pos_);
    pos_ = end + literal.size();
    return true;
  }
  bool atEnd() const { return pos_ == text_.size(); }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// Lines ended by \n until `end`: a description or a response. The index of
// the last one goes to `last` (-1 for none).
bool takeLines(Cursor& in, std::string_view end, std::array<std::string, kMaxTextLines>& lines,
               int& last) {
  std::vector<std::string> read;
  while (!in.take(end)) {
    std::string line;
    if (read.size() == kReadLimit || !in.takeLine(line)) return false;
    read.push_back(std::move(line));
  }
  if (read.size() > lines.size()) return false;
  for (std::size_t i = 0; i < read.size(); ++i)
    lines[i] = std::move(read[i]);
  last = static_cast<int>(read.size()) - 1;
  return true;
}

bool takeCommand(Cursor& in, WorkingRoom& room) {
  room.command = 1;
  if (!in.takeQuoted(room.comm[1]) || !in.take("\")")) return false;
  while (in.take(" && !strcmp(word[")) {
    int index = 0;
    if (room.command == kMaxCommandWords || !in.takeInt(index) || !in.take("],\"")) return false;
    ++room.command;
    if (!in.takeQuoted(room.comm[static_cast<std::size_t>(room.command)]) || !in.take("\")")) {
      return false;
    }
  }
  return in.take(") { write_user(user,\"") &&
         takeLines(in, "\"); return 1; } return 0;\n", room.cdesc, room.clines);
}

// The frequency as "%f" wrote it: a float that writes back the same text.
// 0.000000 stands for a frequency too small to show, which still has an
// event.
bool frequencyOf(std::string_view text, float& t) {
  float value = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  if (value == 0.0f && text.front() != '-') value = 1e-7f;
  for (const float candidate : {value, std::nextafter(value, 0.0f), std::nextafter(value, 2.0f)}) {
    std::string written;
    appendText(written, SixDecimals{candidate});
    if (written == text) {
      t = candidate;
      return true;
    }
  }
  return false;
}

bool takeEvent(Cursor& in, WorkingRoom& room) {
  std::string_view frequency;
  int eventRoom = 0;
  return in.takeUntil(")write_room(", frequency) && !frequency.empty() &&
         frequencyOf(frequency, room.t) && in.takeInt(eventRoom) && eventRoom == room.room &&
         in.take(",\"") && in.takeLine(room.randtext) && in.take("\"); return 0;\n");
}

}  // namespace

std::optional<WorkingRoom> parseRoomRecord(std::string_view record) {
  WorkingRoom room;
  room.exitd.fill(kNoExit);
  room.lines = -1;
  room.clines = -1;
  Cursor in(record);
  std::string_view function, region, number;
  if (!in.takeUntil(std::string(kHeaderTail) + "\n", function) ||
      !splitFunctionName(function, region, number)) {
    return std::nullopt;
  }
  room.tempregionname = region;
  room.room = headerRoomNumber(function);
  if (!in.take("OBJECT user;\nint com,dir;\n{\nint links[]={ ")) return std::nullopt;
  for (int slot = 1; slot <= kExitCount; ++slot) {
    if ((slot > 1 && !in.take(",")) || !in.takeInt(room.exitd[static_cast<std::size_t>(slot)])) {
      return std::nullopt;
    }
  }
  if (!in.take(" };\nswitch(com)\n{\ncase 0: write_user(user,\"") || !in.takeLine(room.shortname) ||
      !in.take("\");write_user(user,\"") ||
      !takeLines(in,
                 "\");\nexits_contents(user,links,\"\"); return 0;\ncase 1: return links[dir];\n",
                 room.ldesc, room.lines)) {
    return std::nullopt;
  }
  if (in.take("case 2: if(!strcmp(word[0],\"") && !takeCommand(in, room)) return std::nullopt;
  if (in.take("case 3: if(randnum()<") && !takeEvent(in, room)) return std::nullopt;
  std::string brief;
  if (!in.take("case 4: write_user(user,\"") || !in.takeLine(brief) || brief != room.shortname ||
      !in.take("\");\nexits_contents(user,links,\"\");}return 0;}\n\n") || !in.atEnd()) {
    return std::nullopt;
  }
  return room;
}

std::string_view rowFunctionName(std::string_view row) {
  if (!row.empty() && row.back() == '\n') row.remove_suffix(1);
  return row.substr(0, row.find(','));
}

std::optional<DataRowFields> parseDataRow(std::string_view row) {
  DataRowFields fields;
  Cursor in(row);
  std::string_view function;
  if (!in.takeUntil(",", function)) return std::nullopt;
  fields.function = function;
  if (in.takeInt(fields.region) && in.take(",0,0,") && in.takeInt(fields.roomdark) &&
      in.take(",1,0,0,") && in.takeInt(fields.roomterrain) && in.take(",\"\",\n") && in.atEnd()) {
    return fields;
  }
  return std::nullopt;
}

bool fitsRoomMenu(const WorkingRoom& room) {
  // No typed text holds a line break or a NUL byte.
  const auto fits = [](const std::string& text, std::size_t size) {
    return text.size() < size &&
           text.find_first_of(std::string_view("\n\0", 2)) == std::string::npos;
  };
  bool ok = fits(room.shortname, kShortNameSize) && fits(room.tempregionname, kRegionNameSize) &&
            validRegionName(room.tempregionname) && fits(room.randtext, kRandTextSize) &&
            TerrainTable::valid(room.roomterrain) && (room.roomdark == 0 || room.roomdark == 1) &&
            room.lines < kMaxTextLines && room.clines < kMaxTextLines &&
            room.command <= kMaxCommandWords;
  for (int i = 0; ok && i <= room.lines; ++i)
    ok = fits(room.ldesc[static_cast<std::size_t>(i)], kTextLineSize);
  for (int i = 0; ok && i <= room.clines; ++i)
    ok = fits(room.cdesc[static_cast<std::size_t>(i)], kTextLineSize);
  for (int k = 1; ok && k <= room.command; ++k)
    ok = fits(room.comm[static_cast<std::size_t>(k)], kWordSize);
  return ok;
}

}  // namespace rb
