#include "tools/show/room_text.h"

#include "base/text_append.h"
#include "base/visible_text.h"
#include "format/exit_slot.h"
#include "format/terrain_table.h"

namespace rb {

namespace {

void quoted(std::string& out, std::string_view text) {
  appendCQuoted(out, text);
}

// The words of a room's command, joined by one blank.
std::string commandText(const WorkingRoom& room) {
  std::string words;
  for (int k = 1; k <= room.command && k <= kMaxCommandWords; ++k) {
    if (k > 1) words += ' ';
    words += room.comm[static_cast<std::size_t>(k)];
  }
  return words;
}

void exitValue(std::string& out, int exit) {
  if (exit == kNoExit) {
    out += "none";
  } else {
    appendText(out, exit);
  }
}

// The lines of one text, K from 1, compared place by place.
int compareLines(std::string& out, const char* label,
                 const std::array<std::string, kMaxTextLines>& before, int lastBefore,
                 const std::array<std::string, kMaxTextLines>& after, int lastAfter) {
  int said = 0;
  const int most = std::max(lastBefore, lastAfter);
  for (int k = 0; k <= most && k < kMaxTextLines; ++k) {
    const auto at = static_cast<std::size_t>(k);
    std::string line;
    if (k <= lastBefore && k <= lastAfter) {
      if (before[at] == after[at]) continue;
      appendText(line, "  ", label, " ", k + 1, ": ");
      quoted(line, before[at]);
      line += " -> ";
      quoted(line, after[at]);
    } else if (k <= lastAfter) {
      appendText(line, "  ", label, " ", k + 1, " added: ");
      quoted(line, after[at]);
    } else {
      appendText(line, "  ", label, " ", k + 1, " removed: ");
      quoted(line, before[at]);
    }
    out += line + "\n";
    ++said;
  }
  return said;
}

}  // namespace

std::string terrainText(int code) {
  std::string text;
  appendText(text, code, " (", terraintype[code].name, ")");
  return text;
}

void appendRoomFields(std::string& out, const WorkingRoom& room) {
  out += "  short name: ";
  quoted(out, room.shortname);
  out += "\n";
  for (int k = 0; k <= room.lines && k < kMaxTextLines; ++k) {
    appendText(out, "  description line ", k + 1, ": ");
    quoted(out, room.ldesc[static_cast<std::size_t>(k)]);
    out += "\n";
  }
  for (const int slot : kShownOrder) {
    const int exit = room.exitd[static_cast<std::size_t>(slot)];
    if (exit != kNoExit) appendText(out, "  ", exitSlot(slot).word, " exit: ", exit, "\n");
  }
  if (room.command > 0) {
    out += "  command: ";
    quoted(out, commandText(room));
    out += "\n";
    for (int k = 0; k <= room.clines && k < kMaxTextLines; ++k) {
      appendText(out, "  response line ", k + 1, ": ");
      quoted(out, room.cdesc[static_cast<std::size_t>(k)]);
      out += "\n";
    }
  }
  if (room.t > 0) {
    appendText(out, "  event frequency: ", SixDecimals{room.t}, "\n  event text: ");
    quoted(out, room.randtext);
    out += "\n";
  }
}

int appendRoomChanges(std::string& out, const WorkingRoom& before, const WorkingRoom& after,
                      const std::optional<RowView>& rowBefore,
                      const std::optional<RowView>& rowAfter, const SkipExit& skipExit) {
  int said = 0;
  if (before.shortname != after.shortname) {
    out += "  short name: ";
    quoted(out, before.shortname);
    out += " -> ";
    quoted(out, after.shortname);
    out += "\n";
    ++said;
  }
  said +=
      compareLines(out, "description line", before.ldesc, before.lines, after.ldesc, after.lines);
  for (const int slot : kShownOrder) {
    const int a = before.exitd[static_cast<std::size_t>(slot)];
    const int b = after.exitd[static_cast<std::size_t>(slot)];
    if (a == b || (skipExit && skipExit(slot, a, b))) continue;
    appendText(out, "  ", exitSlot(slot).word, " exit: ");
    exitValue(out, a);
    out += " -> ";
    exitValue(out, b);
    out += "\n";
    ++said;
  }
  const bool commandBefore = before.command > 0, commandAfter = after.command > 0;
  const std::string wordsBefore = commandText(before), wordsAfter = commandText(after);
  if (commandBefore != commandAfter || wordsBefore != wordsAfter) {
    out += "  command: ";
    if (commandBefore)
      quoted(out, wordsBefore);
    else
      out += "none";
    out += " -> ";
    if (commandAfter)
      quoted(out, wordsAfter);
    else
      out += "none";
    out += "\n";
    ++said;
  }
  // A command added or removed lists its response lines as added or removed.
  said += compareLines(out, "response line", before.cdesc, commandBefore ? before.clines : -1,
                       after.cdesc, commandAfter ? after.clines : -1);
  const bool eventBefore = before.t > 0, eventAfter = after.t > 0;
  std::string frequencyBefore = "none", frequencyAfter = "none";
  if (eventBefore) {
    frequencyBefore.clear();
    appendText(frequencyBefore, SixDecimals{before.t});
  }
  if (eventAfter) {
    frequencyAfter.clear();
    appendText(frequencyAfter, SixDecimals{after.t});
  }
  if (frequencyBefore != frequencyAfter) {
    appendText(out, "  event frequency: ", frequencyBefore, " -> ", frequencyAfter, "\n");
    ++said;
  }
  const std::string textBefore = eventBefore ? before.randtext : "";
  const std::string textAfter = eventAfter ? after.randtext : "";
  if ((eventBefore || eventAfter) && textBefore != textAfter) {
    out += "  event text: ";
    quoted(out, textBefore);
    out += " -> ";
    quoted(out, textAfter);
    out += "\n";
    ++said;
  }
  if (before.tempregionname != after.tempregionname) {
    appendText(out, "  region name: ", before.tempregionname, " -> ", after.tempregionname, "\n");
    ++said;
  }
  if (rowBefore && rowAfter) {
    if (rowBefore->region != rowAfter->region) {
      appendText(out, "  region number: ", rowBefore->region, " -> ", rowAfter->region, "\n");
      ++said;
    }
    if (rowBefore->dark != rowAfter->dark) {
      appendText(out, "  darkness: ", rowBefore->dark ? "light" : "dark", " -> ",
                 rowAfter->dark ? "light" : "dark", "\n");
      ++said;
    }
    if (rowBefore->terrain != rowAfter->terrain) {
      appendText(out, "  terrain: ", terrainText(rowBefore->terrain), " -> ",
                 terrainText(rowAfter->terrain), "\n");
      ++said;
    }
  }
  return said;
}

void appendRowLine(std::string& out, std::string_view function, const RowView& row) {
  out += "row ";
  appendHexEscaped(out, function);
  appendText(out, ": region ", row.region, ", ", row.dark ? "light" : "dark", ", terrain ",
             terrainText(row.terrain), "\n");
}

}  // namespace rb
