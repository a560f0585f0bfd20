#include "builder/file_dialogue.h"

#include "builder/room_model.h"

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

void openAreaFiles(Console& con, OpenMode mode, RoomFiles& files) {
  promptForRoomFile(con, mode);
  files.openRoomFile(con.readLine(kFileNameSize, LineKind::FileName), mode);
  for (;;) {
    promptForDataFile(con, mode);
    if (files.openDataFile(con.readLine(kFileNameSize, LineKind::FileName), mode)) return;
    con.print("The data file must not be the room file.\n");
  }
}

}  // namespace rb
