// `roombuilder edit`: a world walked at the keypad as players walk it,
// the room one stands in edited with the room menu, new rooms dug where the
// map has room for them, rooms copied, deleted and linked back, every change
// undone and redone at will, kept in a journal as it is made, and written
// to the files in one WorldEdit when the builder says so.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "terminal/console.h"
#include "world/world.h"

namespace rb {

struct EditorSetup {
  std::optional<int> startRoom;  // --room
  std::string journal;           // the journal's name
  // Reads the world (again, after a write); a failure's message, or "".
  std::function<std::string(World& world)> readWorld;
};

// Runs the editor until the builder leaves (status 0). The end of input
// ends it with status 1 (an EndOfInput thrown on), the journal kept.
int editWorld(Console& con, World& world, const EditorSetup& setup);

// Before the world is read: finishes a write of these files that was cut
// off, from the journal `journal` (saying so on `con`).
void finishCutOffWrite(Console& con, const std::string& journal);

}  // namespace rb
