#include "dialogues/builder/file_dialogue.h"

#include "files/numbered_backup.h"
#include "format/room_model.h"
#include "terminal/fatal_error.h"
#include "terminal/line_sizes.h"

namespace rb {

namespace {

constexpr const char* kBackupWarning =
    "WARNING: Take backups of all files involved before\nproceeding.\n";

void promptForRoomFile(Console& con, OpenMode mode) {
  if (mode == OpenMode::Create) {
    con.print(
        "You have selected to make new rooms.\n"
        "Please type in the name of the file you wish your\n"
        "rooms to be saved in (For example, you might save\n"
        "the rooms for tarvesh as tarvesh.txt, or perhaps\n"
        "as tarvesh.c.). This file will be created in the\n"
        "same directory as this program.\n");
  } else {
    con.print("Please type the name of the room file you wish to\n", "append to.\n",
              kBackupWarning);
  }
}

void promptForDataFile(Console& con, OpenMode mode) {
  if (mode == OpenMode::Create) {
    con.print(
        "Now please select the file you wish to save room\n"
        "data in. This file will be created in the same\n"
        "directory as this program. WARNING: Do not use\n"
        "the same name for your room file and your room\n"
        "data file.\n");
  } else {
    con.print("Please type the name of the data file to append to.\n", kBackupWarning);
  }
}

}  // namespace

OutputFile::Outcome openAndTell(Console& con, OutputFile& file, const std::string& name,
                                OpenMode mode) {
  const OutputFile::Outcome outcome = file.open(name, mode);
  if (!outcome.backup.empty()) con.print(backupNotice(name, outcome.backup));
  if (outcome.status == OutputFile::Status::InUse) {
    con.print(kFileInUse);
  }
  return outcome;
}

namespace {

// True when `file` is open; false when another run holds it. A file that
// will not open is fatal in an area build.
bool openOrRefuse(Console& con, OutputFile& file, const std::string& name, OpenMode mode) {
  const OutputFile::Outcome outcome = openAndTell(con, file, name, mode);
  if (outcome.status == OutputFile::Status::Failed) {
    throw fileFailure(kFileNotOpening, outcome.failedName, outcome.error);
  }
  return outcome.status == OutputFile::Status::Opened;
}

}  // namespace

void openAreaFiles(Console& con, OpenMode mode, RoomFiles& files) {
  for (;;) {
    promptForRoomFile(con, mode);
    const std::string name = con.readLine(kFileNameSize, LineKind::FileName);
    // An empty line (the Enter after the menu key) names no file.
    if (!name.empty() && openOrRefuse(con, files.roomFile(), name, mode)) break;
  }
  for (;;) {
    promptForDataFile(con, mode);
    const std::string name = con.readLine(kFileNameSize, LineKind::FileName);
    if (name.empty()) continue;
    if (files.roomFile().isNamed(name)) {
      con.print("The data file must not be the room file.\n");
      continue;
    }
    if (openOrRefuse(con, files.dataFile(), name, mode)) return;
  }
}

}  // namespace rb
