// roombuilder show: room files and data files as text for people, and for
// git's text conversion.
#include "cli/command.h"
#include "tools/show/world_show.h"
#include "world/world.h"

namespace rb {

namespace {

int show(const ParsedArguments& args, CommandIo& io) {
  if (args.operands.empty()) return io.usage("show: no file named");
  WorldReading reading;
  reading.names = false;
  reading.exits = false;
  World world;
  // Every file named is shown, a backup too: git hands show its own
  // temporary copies.
  if (const auto failed = io.readWorld(world, args.operands, reading, true)) return *failed;
  try {
    showWorld(world, args.operands.size() > 1, io.out);
  } catch (const WorldFileError& error) {
    return io.fileFailed(error.file, error.reason);
  }
  return io.finish(0);
}

}  // namespace

const Command kShowCommand = {
    "show",
    "[OPTION]... FILE...",
    "  show   prints room files and data files as text for people: each record\n"
    "         as \"room N NAME\" and its fields one a line (short name, description\n"
    "         lines, exits, command, response lines, event), each row as \"row\n"
    "         NAME: region R, light, terrain T (Name)\", other text as it stands.\n"
    "         As git's text conversion, git diff, log and blame speak in rooms:\n"
    "           git config diff.rooms.textconv 'roombuilder show'\n"
    "           git config diff.rooms.xfuncname '^room [0-9-]+ .*$'\n"
    "           echo 'world/*.c diff=rooms' >> .gitattributes\n"
    "           echo 'world/*.dat diff=rooms' >> .gitattributes\n",
    {},
    show,
};

}  // namespace rb
