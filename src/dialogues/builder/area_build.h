// An area build (main-menu keys 1 and 2): the file dialogue, the area's
// defaults, then the room menu for each room number from the first to the
// last, saving each room before moving on.
#pragma once

#include "dialogues/builder/room_files.h"
#include "dialogues/settings.h"
#include "format/room_model.h"
#include "terminal/console.h"

namespace rb {

// The room being edited and the area defaults. They outlive each area build:
// what one build leaves behind is where the next one starts.
struct BuilderState {
  WorkingRoom room;
  AreaDefaults area;
};

// Runs one area build; Settings::append chooses new files or appending.
void newrooms(Console& con, Settings& settings, BuilderState& state);

// Saves the working room, moves to the next room number and resets the room
// to the area defaults. Returns false when the saved room was the last one.
bool nextroom(BuilderState& state, RoomFiles& files);

}  // namespace rb
