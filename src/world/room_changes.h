// Changing a world by rooms: renumbering a range of rooms, deleting it, or
// copying it, with every exit of the world that leads to those rooms
// following, and their data rows with them. Each plans the change as steps
// of a WorldEdit (applied by the caller, or not, for a dry run) and says
// what it does, room by room: notes of what changes, warnings of what it
// leaves for the builder to see to, or why it refuses.
//
// What is written is what the room writer writes: a record of the writer's
// own is written again from its fields; in a record that is not, the lines
// a change needs (the header, links and event lines) are changed only when
// they read as the writer writes them, and the change is refused
// otherwise. Exits to numbers no room has stay as they are.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "world/world.h"
#include "world/world_edit.h"

namespace rb {

struct RoomRange {
  int first = 0;
  int last = 0;
};

// A note or a warning, at the header line a record has after the change;
// its text lasts as long as the call it is given to.
struct ChangeMessage {
  std::size_t file = 0;  // index in the world
  long long line = 0;
  bool warning = false;
  const char* kind = "";  // a warning's kind: "kept-exit", "one-way", "dropped-exit"
  std::string_view text;
};

using MessageSink = std::function<void(const ChangeMessage&)>;

struct ChangeOutcome {
  // Refused: nothing is to change. At a record (its file and header line)
  // when the refusal is about one, otherwise of the change as a whole.
  bool refused = false;
  std::size_t refusedRecord = World::kNone;
  std::string refusal;
  std::size_t rooms = 0;  // renumbered, deleted or copied
  std::size_t exits = 0;  // changed, removed or kept
  // Says each note and warning, in file order, to `sink`: made as they are
  // said, so that a change of a million rooms holds none of them.
  std::function<void(const MessageSink& sink)> describe;
};

// How a world to be changed by rooms of `range` (and, renumbering or
// copying, of the new numbers) is read: hashes, rows and held locks, and
// the names only of the rooms of the range (enough to find their rows), so
// that a world of a million rooms takes little memory.
WorldReading changeReading(RoomRange range, bool dryRun);

// The rooms numbered FIRST to LAST get NEW to NEW + (LAST - FIRST), each
// moved by the same amount. Needs a world read with names.
ChangeOutcome renumberRooms(const World& world, RoomRange range, int newFirst, WorldEdit& edit);

// The rooms of the range go, records and rows; every exit to them becomes
// -1, or is kept (a warning each) with `keepExits`.
ChangeOutcome deleteRooms(const World& world, RoomRange range, bool keepExits, WorldEdit& edit);

// The rooms of the range are copied to NEW on, each copy right after the
// range in its original's file, its row after the range's rows. Exits
// within the range lead to the copies; others are -1, or with `withExits`
// lead where the original's do (a warning each: no way back).
ChangeOutcome copyRooms(const World& world, RoomRange range, int newFirst, bool withExits,
                        WorldEdit& edit);

}  // namespace rb
