// roombuilder export: a world as one JSON document, or as a map the
// players' client loads.
#include "cli/command.h"
#include "tools/json/mudlet_map.h"
#include "tools/json/world_export.h"
#include "world/world.h"

namespace rb {

namespace {

enum Option { kFormat, kIncludeBackups };

int exportCommand(const ParsedArguments& args, CommandIo& io) {
  bool mudlet = false, includeBackups = false;
  for (const ParsedOption& option : args.options) {
    if (option.which == kIncludeBackups) {
      includeBackups = true;
    } else if (option.value == "mudlet") {
      mudlet = true;
    } else if (option.value != "world") {
      return io.usage("export: --format must be world or mudlet, not " + option.value);
    }
  }
  if (args.operands.empty()) return io.usage("export: no file named");
  // The map needs the rooms' short names, function names, exits and the
  // rows matched to them (terrain and darkness); the document only where
  // each record and row lies.
  WorldReading reading;
  reading.names = mudlet;
  reading.rows = true;
  reading.exits = mudlet;
  reading.fields = mudlet;
  RoomNames names;
  if (mudlet) {
    reading.visitor = [&](std::size_t, const WorkingRoom& room, const RecordText&) {
      names.add(room.shortname);
    };
  }
  World world;
  if (const auto failed = io.readWorld(world, args.operands, reading, includeBackups)) {
    return *failed;
  }
  try {
    if (mudlet) {
      for (const std::string& warning : writeMudletMap(world, names, io.out))
        io.tell(warning);
    } else {
      exportWorld(world, io.out);
    }
  } catch (const WorldFileError& error) {
    return io.fileFailed(error.file, error.reason);
  }
  return io.finish(0);
}

}  // namespace

const Command kExportCommand = {
    "export",
    "[OPTION]... FILE... > WORLD.json",
    "  export writes the world as one JSON document on standard output, its form\n"
    "         described in doc/world.schema.json: each file by name, kind and line\n"
    "         ends, its rooms and rows field by field, all else as text, so that\n"
    "         import gives back every byte.\n"
    "         --format=mudlet  a map the players' client Mudlet loads (its JSON map\n"
    "                          format 1.0): an area a room file, rooms laid out as\n"
    "                          map draws them, exits, terrains as colours\n"
    "         --include-backups  read NAME~ and NAME.~N~ too\n"
    "         Example: roombuilder export world/* | jq '...' > changed.json\n",
    {{"format", 0, true, "world or mudlet"}, {"include-backups", 0, false, nullptr}},
    exportCommand,
};

}  // namespace rb
