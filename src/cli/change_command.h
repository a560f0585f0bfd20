// What `renumber`, `delete` and `copy` share: the room range and the new
// number among their arguments, the world read to be changed, the change
// planned, said and (unless a dry run) applied.
#pragma once

#include <functional>
#include <string>

#include "cli/command_io.h"
#include "cli/options.h"
#include "world/room_changes.h"

namespace rb {

struct ChangeArguments {
  RoomRange range;
  int newFirst = 0;  // renumber and copy
  bool dryRun = false;
  bool includeBackups = false;
  std::vector<std::string> files;
};

// Reads "FIRST-LAST" or "N" (each number with an optional sign, so that
// "-8--6" is a range); the error that says what is wrong, or "".
std::string readRoomRange(std::string_view text, RoomRange& range);

// Takes the range (and the new number, when `withNew`) and the files from
// the operands of `command`; the status to end with when they are wrong.
std::optional<int> takeChangeArguments(const char* command, const ParsedArguments& args,
                                       bool withNew, ChangeArguments& taken, CommandIo& io);

// Reads the world, plans the change with `plan`, says it and applies it;
// `summary` is the last line. The exit status.
int runChange(const ChangeArguments& args, CommandIo& io,
              const std::function<ChangeOutcome(const World&, WorldEdit&)>& plan,
              const std::function<std::string(const ChangeOutcome&)>& summary);

}  // namespace rb
