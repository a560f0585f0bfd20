// roombuilder map: a picture of a world as SVG.
#include "cli/command.h"
#include "tools/map/svg_map.h"
#include "world/world.h"

namespace rb {

namespace {

int map(const ParsedArguments& args, CommandIo& io) {
  std::optional<int> startNumber;
  bool includeBackups = false;
  for (const ParsedOption& option : args.options) {
    if (option.which == 1) {
      includeBackups = true;
      continue;
    }
    int number = 0;
    switch (readRoomNumber(option.value, number)) {
      case NumberArgument::Number:
        startNumber = number;
        break;
      case NumberArgument::NotANumber:
        return io.usage("map: --start needs a room number");
      case NumberArgument::OutOfRange:
        return io.usage("map: --start " + option.value + ": out of range");
    }
  }
  if (args.operands.empty()) return io.usage("map: no file named");
  RoomNames names;
  WorldReading reading;
  reading.names = false;
  reading.visitor = [&](std::size_t, const WorkingRoom& room, const RecordText&) {
    names.add(room.shortname);
  };
  World world;
  if (const auto failed = io.readWorld(world, args.operands, reading, includeBackups)) {
    return *failed;
  }
  std::size_t start = World::kNone;
  if (startNumber) {
    start = world.findNumber(*startNumber);
    if (start == World::kNone) {
      return io.usage("map: --start " + std::to_string(*startNumber) + ": no room has that number");
    }
  }
  writeSvgMap(world, names, start, io.out);
  return io.finish(0);
}

}  // namespace

const Command kMapCommand = {
    "map",
    "[OPTION]... FILE... > MAP.svg",
    "  map    writes a picture of the world as SVG to standard output, a\n"
    "         section per room file (data files are left out).\n"
    "         --start N        lay the first panel out from room N\n"
    "         --include-backups  read NAME~ and NAME.~N~ too\n",
    {{"start", 0, true, "a room number"}, {"include-backups", 0, false, nullptr}},
    map,
};

}  // namespace rb
