// Rooms as the writer writes them, for tests of the commands that read
// whole worlds: check, map and link.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>

#include "format/data_row.h"
#include "format/room_record.h"

namespace rb::test {

// Room `number` of `region`, lit, terrain 1, with the exits given as
// (slot, destination).
inline WorkingRoom worldRoom(int number, const std::string& name,
                             std::initializer_list<std::pair<int, int>> exits,
                             const std::string& region = "town") {
  WorkingRoom r;
  r.room = number;
  r.tempregionname = region;
  r.shortname = name;
  r.lines = -1;
  r.roomterrain = 1;
  r.roomdark = 1;
  r.exitd.fill(kNoExit);
  for (const auto& [slot, destination] : exits)
    r.exitd[static_cast<std::size_t>(slot)] = destination;
  return r;
}

// `text` with CR LF line ends.
inline std::string withCrLf(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

inline std::string worldRow(const WorkingRoom& room, int region = 3) {
  AreaDefaults area;
  area.region = region;
  return dataRow(room, area);
}

}  // namespace rb::test
