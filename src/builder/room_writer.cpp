#include "builder/room_writer.h"

#include <algorithm>

#include "builder/c_string_literal.h"
#include "shell/text_append.h"

namespace rb {

namespace {

// The last index of a text or word table to write: the field's value, kept
// inside the table whatever it holds.
std::size_t lastIndex(int value, int top) {
  return static_cast<std::size_t>(std::min(value, top));
}

// Each line of a multi-line text, escaped, followed by the two characters \n.
void appendTextLines(std::string& out, const std::array<std::string, kMaxTextLines>& text,
                     int last) {
  if (last < 0) return;
  for (std::size_t i = 0; i <= lastIndex(last, kMaxTextLines - 1); ++i) {
    appendEscaped(out, text[i]);
    out.append("\\n");
  }
}

void appendCommandLine(std::string& out, const WorkingRoom& room) {
  out.append("case 2: if(!strcmp(word[0],\"");
  appendEscaped(out, room.comm[1]);
  out.append("\")");
  for (std::size_t k = 2; k <= lastIndex(room.command, kMaxCommandWords); ++k) {
    appendText(out, " && !strcmp(word[", k - 1, "],\"");
    appendEscaped(out, room.comm[k]);
    out.append("\")");
  }
  out.append(") { write_user(user,\"");
  appendTextLines(out, room.cdesc, room.clines);
  out.append("\"); return 1; } return 0;\n");
}

void appendEventLine(std::string& out, const WorkingRoom& room) {
  appendText(out, "case 3: if(randnum()<", SixDecimals{room.t}, ")write_room(", room.room, ",\"");
  appendEscaped(out, room.randtext);
  out.append("\\n\"); return 0;\n");
}

}  // namespace

std::string roomRecord(const WorkingRoom& room) {
  std::string out;
  out.reserve(1024);
  appendText(out, room.tempregionname, "l_", room.room, "(user,com,dir)\n");
  out.append("OBJECT user;\nint com,dir;\n{\n");
  out.append("int links[]={ ");
  for (int slot = 1; slot <= kExitCount; ++slot) {
    appendText(out, room.exitd[static_cast<std::size_t>(slot)], slot < kExitCount ? "," : "");
  }
  out.append(" };\n");
  out.append("switch(com)\n{\n");
  out.append("case 0: write_user(user,\"");
  appendEscaped(out, room.shortname);
  out.append("\\n\");write_user(user,\"");
  appendTextLines(out, room.ldesc, room.lines);
  out.append("\");\nexits_contents(user,links,\"\"); return 0;\ncase 1: return links[dir];\n");
  if (room.command > 0) appendCommandLine(out, room);
  if (room.t > 0) appendEventLine(out, room);
  out.append("case 4: write_user(user,\"");
  appendEscaped(out, room.shortname);
  out.append("\\n\");\nexits_contents(user,links,\"\");}return 0;}\n\n");
  return out;
}

std::string dataRow(const WorkingRoom& room, const AreaDefaults& area) {
  std::string out;
  appendText(out, room.tempregionname, "l_", room.room, ",", area.region, ",0,0,", room.roomdark,
             ",1,0,0,", room.roomterrain, ",\"\",\n");
  return out;
}

void save(const WorkingRoom& room, const AreaDefaults& area, RoomFiles& files) {
  files.save(roomRecord(room), dataRow(room, area));
}

}  // namespace rb
