// roombuilder link: the way back of every exit that has none.
#include "cli/command.h"
#include "tools/link/return_exits.h"
#include "world/world.h"
#include "world/world_edit.h"

namespace rb {

namespace {

enum Option { kDryRun, kBaseline, kIncludeBackups };

int link(const ParsedArguments& args, CommandIo& io) {
  bool dryRun = false;
  Baseline baseline;
  bool withBaseline = false;
  bool includeBackups = false;
  for (const ParsedOption& option : args.options) {
    if (option.which == kDryRun) {
      dryRun = true;
    } else if (option.which == kIncludeBackups) {
      includeBackups = true;
    } else {
      std::string text;
      if (const auto failed = io.readOptionFile(option.value, text)) return *failed;
      baseline.read(text);
      withBaseline = true;
    }
  }
  if (args.operands.empty()) return io.usage("link: no file named");
  WorldReading reading;
  reading.names = false;
  reading.hold = dryRun ? InputFile::Lock::Shared : InputFile::Lock::Exclusive;
  World world;
  if (const auto failed = io.readWorld(world, args.operands, reading, includeBackups)) {
    return *failed;
  }
  const LinkPlan plan = planReturnExits(world, withBaseline ? &baseline : nullptr);
  if (!dryRun && !plan.added.empty()) {
    WorldEdit edit(world);
    addReturnExits(plan, edit);
    if (const auto failed = io.applyEdit(edit)) return *failed;
  }
  reportLinks(world, plan, io.out);
  return io.finish(0);
}

}  // namespace

const Command kLinkCommand = {
    "link",
    "[OPTION]... ROOMFILE...",
    "  link   gives every exit without a way back its way back: when room A's\n"
    "         exit leads to room B and B's exit the opposite way is -1, B gets\n"
    "         that exit, leading to A. Says what it adds (note) and why it\n"
    "         leaves others one-way (warning). Only the links lines change;\n"
    "         each file changed keeps its old contents in NAME.~N~.\n"
    "         -n, --dry-run    say what would be done, change nothing\n"
    "         --baseline FILE  leave the one-way exits an earlier check\n"
    "                          printed in FILE as they are\n"
    "         --include-backups  read NAME~ and NAME.~N~ too\n"
    "         Build with each exit typed once, link, then check.\n",
    {{"dry-run", 'n', false, nullptr},
     {"baseline", 0, true, "a file"},
     {"include-backups", 0, false, nullptr}},
    link,
};

}  // namespace rb
