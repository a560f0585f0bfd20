// roombuilder renumber: a range of rooms moved to other numbers, every exit
// to them following.
#include "base/text_append.h"
#include "cli/change_command.h"
#include "cli/command.h"

namespace rb {

namespace {

enum Option { kDryRun, kIncludeBackups };

int renumber(const ParsedArguments& args, CommandIo& io) {
  ChangeArguments taken;
  for (const ParsedOption& option : args.options) {
    if (option.which == kDryRun) taken.dryRun = true;
    if (option.which == kIncludeBackups) taken.includeBackups = true;
  }
  if (const auto failed = takeChangeArguments("renumber", args, true, taken, io)) return *failed;
  return runChange(
      taken, io,
      [&](const World& world, WorldEdit& edit) {
        return renumberRooms(world, taken.range, taken.newFirst, edit);
      },
      [](const ChangeOutcome& outcome) {
        std::string line;
        appendText(line, counted(static_cast<long long>(outcome.rooms), "room"), " renumbered, ",
                   counted(static_cast<long long>(outcome.exits), "exit"), " changed.\n");
        return line;
      });
}

}  // namespace

const Command kRenumberCommand = {
    "renumber",
    "[OPTION]... FIRST[-LAST] NEW FILE...",
    "  renumber  gives the rooms FIRST to LAST the numbers NEW on, each moved by\n"
    "         the same amount, gaps kept: their header lines, data rows and event\n"
    "         lines, and every exit of the world that leads to them. A note for\n"
    "         each room moved and each exit changed. Refused (status 2, nothing\n"
    "         changed) when a new number is another room's, a name would be taken\n"
    "         twice, or a line to change is not as the room writer writes it.\n"
    "         -n, --dry-run    say what would be done, change nothing\n"
    "         --include-backups  read NAME~ and NAME.~N~ too\n"
    "         Example: roombuilder renumber 100-199 300 world/*.c world/*.dat\n",
    {{"dry-run", 'n', false, nullptr}, {"include-backups", 0, false, nullptr}},
    renumber,
};

}  // namespace rb
