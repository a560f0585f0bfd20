// What `renumber`, `delete` and `copy` say: a line for each change, in
// file order ("FILE:LINE: note: TEXT", warnings in check's form), and a
// refusal on its own line.
#pragma once

#include <string>

#include "files/output_stream.h"
#include "world/room_changes.h"
#include "world/world.h"

namespace rb {

// The notes and warnings of `outcome`, a line each.
void reportChange(const World& world, const ChangeOutcome& outcome, OutputStream& out);

// A refusal as it is said on standard error: "FILE:LINE: error: TEXT" for
// one about a record, "roombuilder: TEXT" for one about the change.
std::string changeRefusal(const World& world, const ChangeOutcome& outcome);

}  // namespace rb
