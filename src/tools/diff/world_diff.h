// `roombuilder diff`: what changed between two worlds, room by room.
//
// Rooms are matched by number across each whole side, so a room moved from
// one file to another is "moved", not removed and added. A block for each
// room that differs, in room-number order: its first line says whether it
// changed, was added, removed, moved or renumbered, and where; the lines
// under it name each field that differs, old value and new (room_text.h).
// A room added whose every field but its number equals a room removed is
// "renumbered", and the exits of other rooms that only followed it are
// counted in its line instead of listed. Text outside records that differs
// is a line per file. Last comes the summary.
#pragma once

#include <string>
#include <vector>

#include "files/output_stream.h"
#include "world/world.h"

namespace rb {

// One side of a diff: its world, and for each of its files the key that
// matches it with a file of the other side and the name it is shown by.
struct DiffSide {
  World world;
  std::vector<std::string> keys;
  std::vector<std::string> shown;
};

enum class DiffForm { Full, Brief, Stat };

// Writes the diff; whether the worlds differ. Throws WorldFileError when a
// file cannot be read again.
bool diffWorlds(const DiffSide& before, const DiffSide& after, DiffForm form, OutputStream& out);

}  // namespace rb
