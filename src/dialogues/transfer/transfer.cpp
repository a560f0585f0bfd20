#include "dialogues/transfer/transfer.h"

#include <cerrno>
#include "dialogues/builder/file_dialogue.h"

#include "base/number_text.h"
#include "dialogues/builder/room_files.h"
#include "dialogues/builder/room_menu.h"
#include "dialogues/builder/taken_names.h"
#include "dialogues/transfer/transfer_writer.h"
#include "files/input_file.h"
#include "format/area_reader.h"
#include "format/data_row.h"
#include "format/function_name.h"
#include "format/room_model.h"
#include "format/room_record.h"
#include "terminal/fatal_error.h"
#include "terminal/line_sizes.h"
#include "terminal/terminal_mode.h"
#include "world/world.h"

namespace rb {

namespace {

constexpr const char* kUnableToOpen = "Unable to open that file.\n";

// Asks for a file to read until one opens; false after an empty line.
// `other`, when given, is the room file, which the data file must not be.
// The file is locked shared for the whole transfer: other readers are
// welcome, a run writing it is not. It must be readable from its start as
// often as the transfer needs (a pipe is not).
bool askForSource(Console& con, const char* prompt, InputFile& file, const InputFile* other) {
  for (;;) {
    con.print(prompt);
    const std::string name = con.readLine(kFileNameSize, LineKind::FileName);
    if (name.empty()) return false;
    switch (file.open(name, InputFile::Lock::Shared)) {
      case InputFile::Status::Open:
        if (!file.rewind()) {
          file.close();
          con.print(kUnableToOpen);
          continue;
        }
        if (other && file.id() == other->id()) {
          con.print("The data file must not be the room file.\n");
          continue;
        }
        return true;
      case InputFile::Status::InUse:
        con.print(kFileInUse);
        continue;
      case InputFile::Status::Unreadable:
        con.print(kUnableToOpen);
        continue;
    }
  }
}

// Asks for a new file until one opens (created, or emptied after its old
// contents were kept). A file being read is refused before anything opens
// it; so is the new room file as the new data file.
void askForNewFile(Console& con, const char* prompt, OutputFile& file, const InputFile& room,
                   const InputFile& data, const OutputFile* newRoomFile) {
  for (;;) {
    con.print(prompt);
    const std::string name = con.readLine(kFileNameSize, LineKind::FileName);
    const auto id = fileIdOf(name);
    if (id && (*id == room.id() || *id == data.id())) {
      con.print("The new files must not be the files being read.\n");
      continue;
    }
    if (newRoomFile && newRoomFile->isNamed(name)) {
      con.print("The new data file must not be the new room file.\n");
      continue;
    }
    // Written beside the name, and put in its place when whole.
    const OutputFile::Outcome outcome = openAndTell(con, file, name, OpenMode::Replace);
    if (outcome.status == OutputFile::Status::Opened) return;
    if (outcome.status == OutputFile::Status::Failed) con.print(kUnableToOpen);
  }
}

// Whether a record can be edited: it and the row matched to it are what
// the room writer writes for the fields read from them, and those fields
// fit the room menu.
bool editable(const World& world, std::size_t record) {
  const std::size_t row = world.rowOf(record);
  return world.isWriters(record) && row != World::kNone &&
         (world.rowFlags(row) & World::kWritersRow) != 0;
}

// The first record that can be edited from `from` on, or the end.
std::size_t nextEditable(const World& world, std::size_t from) {
  while (from < world.records() && !editable(world, from))
    ++from;
  return from;
}

// The record to start editing at.
std::size_t askForStart(Console& con, const World& world) {
  for (;;) {
    con.print("Which room do you wish to start editing at? (Enter for the first)\n");
    const std::string answer = con.readLine(kExplorerLineSize, LineKind::Number);
    if (answer.empty()) return nextEditable(world, 0);
    const int number = textToInt(answer);
    for (std::size_t i = 0; i < world.records(); ++i) {
      if (editable(world, i) && world.graph().number(i) == number) return i;
    }
    con.print("No such room.\n");
  }
}

// Whether a room has changed since it was shown: whether it would be
// written otherwise.
bool changedSince(const WorkingRoom& room, const WorkingRoom& shown) {
  return roomRecord(room) != roomRecord(shown) || room.roomdark != shown.roomdark ||
         room.roomterrain != shown.roomterrain;
}

// The room menu for one room: true when it is saved, false when the user
// leaves the transfer with x (asked first when the room has changed).
bool editRoom(Console& con, Settings& settings, WorkingRoom& room, const WorkingRoom& shown,
              const AreaDefaults& defaults, const NameTaken& taken) {
  for (;;) {
    if (roomMenu(con, settings, room, defaults, taken) == RoomMenuEnd::Save) return true;
    if (!changedSince(room, shown)) return false;
    con.print("Room ", shown.room, " has changes that are not saved. Leave without them? (y/n)\n");
    if (con.getch() == 'y') return false;
  }
}

// Edits the rooms from `current` on, as the user chooses, until the last
// one or x.
void editRooms(Console& con, Settings& settings, World& world, TransferWriter& writer,
               std::size_t current) {
  // The names of the new room file's functions: each record's, as edited
  // once it has been.
  TakenNames names(world.names());
  for (std::size_t record = 0; record < world.records(); ++record)
    names.add(world.matching().recordName(record));
  for (; current < world.records(); current = nextEditable(world, current + 1)) {
    writer.copyUpTo(current);
    // The record as the survey found it; should the file have changed since,
    // a record no longer the writer's is copied as it is.
    auto parsed = writersRecord(writer.nextRecordText());
    if (!parsed) continue;
    WorkingRoom room = std::move(*parsed);
    const std::size_t row = world.rowOf(current);
    room.roomdark = world.rowDark(row);
    room.roomterrain = world.rowTerrain(row);
    AreaDefaults defaults;
    defaults.region = world.rowRegion(row);
    const std::string own(world.recordName(current));
    // A room that keeps the name it has in the file being read keeps it,
    // whatever other record has it too (check's error); a new name must be
    // no other record's.
    const NameTaken taken = [&](std::string_view region, int number) {
      const std::string name = functionName(region, number);
      return name != own && names.taken(name, own);
    };
    const WorkingRoom shown = room;
    if (!editRoom(con, settings, room, shown, defaults, taken)) return;
    names.rename(own, functionName(room.tempregionname, room.room));
    writer.writeEdited(room, defaults);
  }
}

}  // namespace

void transfer(Console& con, Settings& settings) {
  InputFile roomSource, dataSource;
  if (!askForSource(con, "Please enter the name of the room file to transfer from.\n", roomSource,
                    nullptr) ||
      !askForSource(con, "Please enter the name of its room data file.\n", dataSource,
                    &roomSource)) {
    return;
  }
  World world;
  try {
    WorldReading reading;
    // The transfer copies rooms as it reads them again: it follows no exit
    // and needs no room's place.
    reading.exits = false;
    reading.places = false;
    world.readArea(roomSource, dataSource, reading);
  } catch (const WorldFileError&) {
    con.print(kUnableToOpen);
    return;
  }
  std::size_t editableCount = 0;
  for (std::size_t record = 0; record < world.records(); ++record)
    editableCount += editable(world, record) ? 1 : 0;
  con.print(world.records(), " rooms read, ", editableCount, " of them can be edited.\n");
  for (std::size_t record = 0; record < world.records(); ++record) {
    if (!editable(world, record)) {
      con.print("Room record at line ", world.recordLine(record),
                " cannot be edited; it will be copied unchanged.\n");
    }
  }
  if (editableCount == 0) {
    con.print("There are no rooms to edit.\n");
    return;
  }

  // Cut short by an interrupt, the transfer first makes the new pair whole:
  // the rest of the area goes over unchanged (the room being edited as it
  // was), then the program ends by the signal.
  DeferredInterrupts deferred;
  bool interrupted = false;
  try {
    RoomFiles files(con);
    askForNewFile(con, "Please enter the name of the new room file.\n", files.roomFile(),
                  roomSource, dataSource, nullptr);
    askForNewFile(con, "Please enter the name of the new room data file.\n", files.dataFile(),
                  roomSource, dataSource, &files.roomFile());
    if (!roomSource.rewind() || !dataSource.rewind()) {
      con.print(kUnableToOpen);
      return;
    }
    try {
      TransferWriter writer(world, roomSource.fd(), dataSource.fd(), files);
      try {
        editRooms(con, settings, world, writer, askForStart(con, world));
      } catch (const EndOfInput&) {
        // Whatever has not been saved goes over unchanged: a new pair of
        // files is always a whole transfer.
        writer.finish();
        throw;
      } catch (const Interrupted&) {
        interrupted = true;
      }
      writer.finish();
    } catch (const AreaReadError& error) {
      // The files changed under the transfer in a way that cannot be read.
      throw fileFailure(kFileNotWriting, roomSource.name(), error.tooLarge ? EFBIG : error.error);
    }
  } catch (const Interrupted&) {
    // Before the new files were named: nothing of them is left.
    interrupted = true;
  }
  if (interrupted || DeferredInterrupts::pending() != 0) return;  // ends by the signal
  con.print("Transfer completed, returning to main menu.\n");
}

}  // namespace rb
