// roombuilder edit: a world walked and changed at the keypad.
#include <unistd.h>

#include "cli/command.h"
#include "dialogues/editor/world_editor.h"
#include "terminal/console.h"
#include "terminal/terminal_mode.h"
#include "world/edit_journal.h"
#include "world/world.h"

namespace rb {

namespace {

enum Option { kRoom };

WorldReading editReading() {
  WorldReading reading;
  reading.names = true;
  reading.rows = true;
  reading.hashes = true;
  reading.hold = InputFile::Lock::Exclusive;
  return reading;
}

int editCommand(const ParsedArguments& args, CommandIo& io) {
  EditorSetup setup;
  for (const ParsedOption& option : args.options) {
    if (option.which != kRoom) continue;
    int number = 0;
    switch (readRoomNumber(option.value, number)) {
      case NumberArgument::Number:
        setup.startRoom = number;
        break;
      case NumberArgument::NotANumber:
        return io.usage("edit: --room needs a room number");
      case NumberArgument::OutOfRange:
        return io.usage("edit: --room " + option.value + ": out of range");
    }
  }
  if (args.operands.empty()) return io.usage("edit: no file named");
  World world;
  if (const auto failed = io.readWorld(world, args.operands, editReading())) return *failed;
  const WorldFile* first = nullptr;
  for (const WorldFile& file : world.files()) {
    if (file.rooms && !first) first = &file;
  }
  if (!first) return io.usage("edit: no room file named");
  setup.journal = EditJournal::nameFor(first->name);
  const std::vector<std::string> names = args.operands;
  setup.readWorld = [names](World& again) -> std::string {
    try {
      again = World();
      again.read(names, editReading());
    } catch (const WorldFileError& error) {
      return "roombuilder: " + error.file + ": " + error.reason + "\n";
    }
    return "";
  };
  installTerminalSignalHandlers();
  Console con(STDIN_FILENO, io.out.fd());
  try {
    // A write cut off part way is finished before anything else, and the
    // world read as it left the files.
    if (EditJournal::read(setup.journal) && EditJournal::read(setup.journal)->write) {
      world = World();
      finishCutOffWrite(con, setup.journal);
      if (const std::string failure = setup.readWorld(world); !failure.empty()) {
        con.print(failure);
        con.flush();
        return 2;
      }
    }
    const int status = editWorld(con, world, setup);
    con.flush();
    return status;
  } catch (const EndOfInput&) {
    con.flush();
    return 1;
  }
}

}  // namespace

const Command kEditCommand = {
    "edit",
    "[OPTION]... FILE...",
    "  edit   walks the world at the keypad as the explorer walks a file, and\n"
    "         changes it: e edits the room with the room menu, a direction\n"
    "         without an exit digs a new room (where the map has room for it),\n"
    "         c copies the room, X deletes it, l links its exits back, z undoes\n"
    "         and r redoes any change, w writes them all (numbered backups),\n"
    "         s shows statistics, ? the keys, q or 5 leaves. Every change is kept\n"
    "         in a journal (.FILE.journal) until it is written, and recovered\n"
    "         when an edit is cut off.\n"
    "         --room N         start in room N\n",
    {{"room", 0, true, "a room number"}},
    editCommand,
};

}  // namespace rb
