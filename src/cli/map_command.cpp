#include "base/char_class.h"
#include "base/number_text.h"
#include "cli/commands.h"
#include "tools/map/svg_map.h"
#include "world/world.h"

namespace rb {

int mapCommand(const std::vector<std::string>& args, CommandIo& io) {
  std::vector<std::string> files;
  std::optional<int> startNumber;
  bool optionsEnded = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || !isOption(arg)) {
      files.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (const auto start = optionValue(args, i, "--start")) {
      if (!isRoomNumber(*start)) return io.usage("map: --start needs a room number");
      startNumber = textToInt(*start);
    } else {
      return io.usage("map: unknown option " + arg);
    }
  }
  if (files.empty()) return io.usage("map: no file named");
  World world;
  RoomNames names;
  try {
    world.read(
        files,
        [&](std::size_t, const WorkingRoom& room, const RecordText&) { names.add(room.shortname); },
        World::Keep::Rooms);
  } catch (const WorldFileError& error) {
    return io.fileFailed(error.file, error.reason);
  }
  std::size_t start = AreaGraph::kNone;
  if (startNumber) {
    start = world.graph().find(*startNumber);
    if (start == AreaGraph::kNone) {
      return io.usage("map: --start " + std::to_string(*startNumber) + ": no room has that number");
    }
  }
  writeSvgMap(world, names, start, io.out);
  return io.finish(0);
}

}  // namespace rb
