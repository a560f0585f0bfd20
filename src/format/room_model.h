// The room being edited and the defaults of the area it belongs to.
//
// Both records live for the whole run: an area build fills and resets them,
// the field editors change the working room, the room writer writes it out.
// Texts hold at most their buffer size - 1 characters, as the dialogues read
// them; the size constants below are those buffer sizes.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "format/exit_slot.h"

namespace rb {

inline constexpr std::size_t kShortNameSize = 50;
inline constexpr std::size_t kTextLineSize = 100;  // description and response lines
inline constexpr std::size_t kRegionNameSize = 20;
inline constexpr std::size_t kWordSize = 20;  // one word of a room command
inline constexpr std::size_t kRandTextSize = 80;

inline constexpr int kMaxTextLines = 10;    // lines of a description or a response
inline constexpr int kMaxCommandWords = 9;  // words of a room command, slots 1..9

struct WorkingRoom {
  int room = 0;
  std::string shortname;
  std::array<std::string, kMaxTextLines> ldesc;
  int lines = 0;  // index of the last description line in use; -1 for none
  std::array<int, kExitCount + 1> exitd{};  // destination per exit slot 1..12
  std::string tempregionname;
  int roomterrain = 0;  // terrain code 1..18
  int roomdark = 0;     // 1 = naturally light, 0 = naturally dark
  float t = 0.0f;       // random-event frequency; an event exists when t > 0
  std::string randtext;
  int command = 0;  // number of command words; a command exists when > 0
  std::array<std::string, kMaxCommandWords + 1> comm;  // words in slots 1..9
  std::array<std::string, kMaxTextLines> cdesc;
  int clines = 0;  // index of the last response line in use; -1 for none
};

// Makes `room` what a room read from a file starts as: no exits, no text
// lines, no command or event, every text empty. The texts keep their
// capacity, so that reading room after room into one WorkingRoom allocates
// almost nothing, and nothing of an earlier room is left in it.
inline void clearForReading(WorkingRoom& room) {
  room.room = 0;
  room.shortname.clear();
  for (std::string& text : room.ldesc)
    text.clear();
  room.lines = -1;
  room.exitd.fill(kNoExit);
  room.tempregionname.clear();
  room.roomterrain = 0;
  room.roomdark = 0;
  room.t = 0;
  room.randtext.clear();
  room.command = 0;
  for (std::string& word : room.comm)
    word.clear();
  for (std::string& text : room.cdesc)
    text.clear();
  room.clines = -1;
}

struct AreaDefaults {
  int roomfirst = 0;
  int roomlast = 0;  // inclusive
  std::string regionname;
  int region = 0;
  int areadark = 0;  // 1 = light, 0 = dark
  int areaterrain = 0;
};

}  // namespace rb
