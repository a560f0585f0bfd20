// The first step of an area build: naming and opening the room file and the
// room data file, both created anew or both appended to.
#pragma once

#include <string>

#include "dialogues/builder/room_files.h"
#include "terminal/console.h"

namespace rb {

// Opens both files into `files`. A file that will not open is fatal; an
// empty name, a data file that is the room file itself, and a file that
// another run holds are refused and asked for again.
void openAreaFiles(Console& con, OpenMode mode, RoomFiles& files);

inline constexpr const char* kFileInUse = "That file is in use by another run of the program.\n";

// Opens `file` as `name`, saying where its old contents were kept, or that
// another run holds it.
OutputFile::Outcome openAndTell(Console& con, OutputFile& file, const std::string& name,
                                OpenMode mode);

}  // namespace rb
