#include "format/room_record.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "base/byte_search.h"
#include "base/number_text.h"
#include "base/text_append.h"
#include "format/c_string_literal.h"
#include "format/field_cursor.h"
#include "format/function_name.h"
#include "format/record_format.h"
#include "format/region_name.h"
#include "format/terrain_table.h"

namespace rb {

using namespace format;

namespace {

// --- Writing ---------------------------------------------------------------

// The last index of a text or word table to write: the field's value, kept
// inside the table whatever it holds.
std::size_t lastIndex(int value, int top) {
  return static_cast<std::size_t>(std::min(value, top));
}

// Each line of a multi-line text, escaped, followed by the escape \n.
void appendTextLines(std::string& out, const std::array<std::string, kMaxTextLines>& text,
                     int last) {
  if (last < 0) return;
  for (std::size_t i = 0; i <= lastIndex(last, kMaxTextLines - 1); ++i) {
    appendEscaped(out, text[i]);
    out.append(kTextLineEnd);
  }
}

void appendCommandLine(std::string& out, const WorkingRoom& room) {
  out.append(kCommandStart);
  appendEscaped(out, room.comm[1]);
  out.append(kWordEnd);
  for (std::size_t k = 2; k <= lastIndex(room.command, kMaxCommandWords); ++k) {
    appendText(out, kNextWordStart, k - 1, kWordIndexEnd);
    appendEscaped(out, room.comm[k]);
    out.append(kWordEnd);
  }
  out.append(kResponseStart);
  appendTextLines(out, room.cdesc, room.clines);
  out.append(kCommandEnd);
}

void appendEventLine(std::string& out, const WorkingRoom& room) {
  appendText(out, kEventStart, SixDecimals{room.t}, kEventRoom, room.room, kEventText);
  appendEscaped(out, room.randtext);
  out.append(kEventEnd);
}

// --- Reading ---------------------------------------------------------------

// A record never needs more lines or words than this to show it cannot be
// the writer's; reading stops there.
constexpr int kReadLimit = 64;

// Lines ended by \n until `end`: a description or a response. The index of
// the last one goes to `last` (-1 for none). More lines than the table
// holds are read past (into `spare`) and make the index too large.
bool takeLines(FieldCursor& in, std::string_view end, std::array<std::string, kMaxTextLines>& lines,
               int& last, std::string& spare) {
  int count = 0;
  while (!in.take(end)) {
    std::string& into = count < kMaxTextLines ? lines[static_cast<std::size_t>(count)] : spare;
    if (count == kReadLimit || !in.takeLine(into)) return false;
    ++count;
  }
  last = count - 1;
  return true;
}

bool takeCommand(FieldCursor& in, WorkingRoom& room) {
  room.command = 1;
  if (!in.takeQuoted(room.comm[1]) || !in.take(kWordEnd)) return false;
  while (in.take(kNextWordStart)) {
    int index = 0;
    if (room.command == kMaxCommandWords || !in.takeInt(index) || !in.take(kWordIndexEnd) ||
        (in.strict() && index != room.command)) {
      return false;
    }
    ++room.command;
    if (!in.takeQuoted(room.comm[static_cast<std::size_t>(room.command)]) || !in.take(kWordEnd)) {
      return false;
    }
  }
  std::string spare;
  return in.take(kResponseStart) && takeLines(in, kCommandEnd, room.cdesc, room.clines, spare);
}

// The frequency as "%f" wrote it: a float that writes back the same text.
// 0.000000 stands for a frequency too small to show, which still has an
// event.
bool frequencyOf(std::string_view text, float& t) {
  float value = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  if (value == 0.0f && text.front() != '-') value = kSmallestShownFrequency;
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

bool takeEvent(FieldCursor& in, WorkingRoom& room) {
  std::string_view frequency;
  int eventRoom = 0;
  return in.takeUntil(kEventRoom, frequency) && !frequency.empty() &&
         frequencyOf(frequency, room.t) && (!in.strict() || room.t > 0) && in.takeInt(eventRoom) &&
         eventRoom == room.room && in.take(kEventText) && in.takeLine(room.randtext) &&
         in.take(kEventEnd.substr(2));
}

}  // namespace

void appendLinksLine(std::string& out, const Exits& exits) {
  out.append(kLinksStart);
  for (int slot = 1; slot <= kExitCount; ++slot) {
    appendText(out, exits[static_cast<std::size_t>(slot)], slot < kExitCount ? kExitSeparator : "");
  }
  out.append(kLinksEnd);
}

std::size_t linksLineStart(std::string_view record) {
  return std::string_view(record).find(kLinksStart);
}

void appendRoomRecord(std::string& out, const WorkingRoom& room) {
  appendFunctionName(out, room.tempregionname, room.room);
  appendText(out, kHeaderTail, kHeaderEnd, kPreamble);
  appendLinksLine(out, room.exitd);
  appendText(out, kSwitch, kLookStart);
  appendEscaped(out, room.shortname);
  appendText(out, kTextLineEnd, kNameToDescription);
  appendTextLines(out, room.ldesc, room.lines);
  out.append(kLookEnd);
  if (room.command > 0) appendCommandLine(out, room);
  if (room.t > 0) appendEventLine(out, room);
  out.append(kBriefStart);
  appendEscaped(out, room.shortname);
  out.append(kRecordEnd);
}

std::string roomRecord(const WorkingRoom& room) {
  std::string out;
  out.reserve(1024);
  appendRoomRecord(out, room);
  return out;
}

namespace {

// The fields of a record, read by `in`.
bool readRecord(FieldCursor& in, WorkingRoom& room) {
  clearForReading(room);
  std::string_view function, region, number;
  static const std::string headerEnd = std::string(kHeaderTail) + std::string(kHeaderEnd);
  if (!in.takeUntil(headerEnd, function) || !splitFunctionName(function, region, number)) {
    return false;
  }
  room.tempregionname.assign(region);
  room.room = headerRoomNumber(function);
  // Strictly, the name as the writer forms it from the region and the number.
  if (in.strict() && !formedFunctionName(function, region, room.room)) return false;
  if (!in.take(kPreamble) || !in.take(kLinksStart)) return false;
  for (int slot = 1; slot <= kExitCount; ++slot) {
    if ((slot > 1 && !in.take(kExitSeparator)) ||
        !in.takeInt(room.exitd[static_cast<std::size_t>(slot)])) {
      return false;
    }
  }
  std::string spare;
  if (!in.take(kLinksEnd) || !in.take(kSwitch) || !in.take(kLookStart) ||
      !in.takeLine(room.shortname) || !in.take(kNameToDescription) ||
      !takeLines(in, kLookEnd, room.ldesc, room.lines, spare)) {
    return false;
  }
  if (in.take(kCommandStart) && !takeCommand(in, room)) return false;
  if (in.take(kEventStart) && !takeEvent(in, room)) return false;
  return in.take(kBriefStart) && in.takeLine(spare) && spare == room.shortname &&
         in.take(kRecordEnd.substr(kTextLineEnd.size())) && in.atEnd();
}

}  // namespace

bool parseRoomRecord(std::string_view record, WorkingRoom& room) {
  FieldCursor in(record);
  return readRecord(in, room);
}

bool fitsRoomMenu(const WorkingRoom& room) {
  // No typed text holds a line break, a NUL byte or an escape character
  // (every escape sequence is left out of what is typed).
  const auto fits = [](const std::string& text, std::size_t size) {
    return text.size() < size && findFirstOf<'\n', '\0', '\x1b'>(text) == text.size();
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

bool isWritersRecord(std::string_view record, WorkingRoom& room) {
  // Read strictly, every piece of the record is the one the writer writes
  // for the fields read: nothing needs writing again to compare.
  FieldCursor in(record, true);
  if (!readRecord(in, room)) return false;
  // The fields of the row do not matter here; any that fit will do.
  room.roomterrain = TerrainTable::kFirst;
  room.roomdark = 1;
  return fitsRoomMenu(room);
}

std::optional<WorkingRoom> writersRecord(std::string_view record) {
  WorkingRoom room;
  if (!isWritersRecord(record, room)) return std::nullopt;
  return room;
}

}  // namespace rb
