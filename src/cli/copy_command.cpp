// roombuilder copy: a range of rooms copied to new numbers, whole in itself.
#include "base/text_append.h"
#include "cli/change_command.h"
#include "cli/command.h"

namespace rb {

namespace {

enum Option { kDryRun, kExits, kIncludeBackups };

int copy(const ParsedArguments& args, CommandIo& io) {
  ChangeArguments taken;
  bool withExits = false;
  for (const ParsedOption& option : args.options) {
    if (option.which == kDryRun) taken.dryRun = true;
    if (option.which == kExits) withExits = true;
    if (option.which == kIncludeBackups) taken.includeBackups = true;
  }
  if (const auto failed = takeChangeArguments("copy", args, true, taken, io)) return *failed;
  return runChange(
      taken, io,
      [&](const World& world, WorldEdit& edit) {
        return copyRooms(world, taken.range, taken.newFirst, withExits, edit);
      },
      [](const ChangeOutcome& outcome) {
        std::string line;
        appendText(line, counted(static_cast<long long>(outcome.rooms), "room"), " copied.\n");
        return line;
      });
}

}  // namespace

const Command kCopyCommand = {
    "copy",
    "[OPTION]... FIRST[-LAST] NEW FILE...",
    "  copy   copies the rooms FIRST to LAST to new rooms NEW on, every field\n"
    "         the same but the number: each copy right after the range in its\n"
    "         original's file, its row after the range's rows. An exit to a room\n"
    "         of the range leads to that room's copy; any other is -1.\n"
    "         -n, --dry-run    say what would be done, change nothing\n"
    "         --exits          other exits lead where the original's do (a\n"
    "                          warning each: no way back; link can add it)\n"
    "         --include-backups  read NAME~ and NAME.~N~ too\n"
    "         Example: roombuilder copy 100-109 500 town.c town.dat\n",
    {{"dry-run", 'n', false, nullptr},
     {"exits", 0, false, nullptr},
     {"include-backups", 0, false, nullptr}},
    copy,
};

}  // namespace rb
