// roombuilder delete: a range of rooms taken out, every exit to them removed.
#include "base/text_append.h"
#include "cli/change_command.h"
#include "cli/command.h"

namespace rb {

namespace {

enum Option { kDryRun, kKeepExits, kIncludeBackups };

int deleteCommand(const ParsedArguments& args, CommandIo& io) {
  ChangeArguments taken;
  bool keepExits = false;
  for (const ParsedOption& option : args.options) {
    if (option.which == kDryRun) taken.dryRun = true;
    if (option.which == kKeepExits) keepExits = true;
    if (option.which == kIncludeBackups) taken.includeBackups = true;
  }
  if (const auto failed = takeChangeArguments("delete", args, false, taken, io)) return *failed;
  return runChange(
      taken, io,
      [&](const World& world, WorldEdit& edit) {
        return deleteRooms(world, taken.range, keepExits, edit);
      },
      [keepExits](const ChangeOutcome& outcome) {
        std::string line;
        appendText(line, counted(static_cast<long long>(outcome.rooms), "room"), " deleted, ",
                   counted(static_cast<long long>(outcome.exits), "exit"),
                   keepExits ? " kept.\n" : " removed.\n");
        return line;
      });
}

}  // namespace

const Command kDeleteCommand = {
    "delete",
    "[OPTION]... FIRST[-LAST] FILE...",
    "  delete takes the rooms FIRST to LAST out: their records and rows. Every\n"
    "         exit of the world that leads to them becomes -1, a note each.\n"
    "         -n, --dry-run    say what would be done, change nothing\n"
    "         --keep-exits     leave those exits as they are, a warning each\n"
    "                          (check reports them until the rooms are back)\n"
    "         --include-backups  read NAME~ and NAME.~N~ too\n"
    "         Example: roombuilder delete 150 town.c town.dat\n",
    {{"dry-run", 'n', false, nullptr},
     {"keep-exits", 0, false, nullptr},
     {"include-backups", 0, false, nullptr}},
    deleteCommand,
};

}  // namespace rb
