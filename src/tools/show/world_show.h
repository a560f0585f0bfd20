// `roombuilder show`: room files and data files as text for people, one
// field a line, made to be git's text conversion, so that git's diff, log
// and blame speak in rooms. For each record, in file order, a block that
// begins "room N REGIONl_N" and then its fields (room_text.h); a record
// that is not the writer's own is shown line by line; each data row as
// "row NAME: region R, light, terrain T (Name)"; text outside records as
// it stands. Nothing raw reaches the terminal: control bytes are escaped.
#pragma once

#include "files/output_stream.h"
#include "world/world.h"

namespace rb {

// Shows each file of `world` in order, with "==> FILE <==" before each when
// `headers`. Throws WorldFileError when a file cannot be read again.
void showWorld(const World& world, bool headers, OutputStream& out);

}  // namespace rb
