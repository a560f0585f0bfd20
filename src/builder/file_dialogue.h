// The first step of an area build: naming and opening the room file and the
// room data file, both created anew or both appended to.
#pragma once

#include "builder/room_files.h"
#include "shell/console.h"

namespace rb {

// Opens both files into `files`. A file that will not open is fatal; a data
// file that is the room file itself is refused and asked for again.
void openAreaFiles(Console& con, OpenMode mode, RoomFiles& files);

}  // namespace rb
