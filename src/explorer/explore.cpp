#include "explorer/explore.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>

#include "builder/room_model.h"
#include "explorer/explorer_walk.h"
#include "explorer/room_file_reader.h"
#include "shell/number_text.h"

namespace rb {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// The named file opened for reading; a directory does not count as opening.
File openRoomFile(const std::string& name) {
  File file(std::fopen(name.c_str(), "r"));
  struct stat info {};
  if (file && (fstat(fileno(file.get()), &info) != 0 || S_ISDIR(info.st_mode))) file.reset();
  return file;
}

}  // namespace

void explore(Console& con) {
  File file;
  while (!file) {
    con.print(
        "Please enter the name of the room\n"
        "file you wish to explore.\n"
        "WARNING: Files not created using tov,\n"
        "or those modified since creation may\n"
        "function incorrectly with this option.\n");
    const std::string name = con.readLine(kFileNameSize, LineKind::FileName);
    // An empty line is the way back to the main menu.
    if (name.empty()) return;
    file = openRoomFile(name);
  }
  con.print("What is the lowest room number?\n");
  const int lowest = textToInt(con.readLine(kExplorerLineSize, LineKind::Number));
  const auto map = std::make_unique<RoomMap>();
  loadRooms(file.get(), lowest, *map);
  file.reset();
  walk(con, *map, lowest);
}

}  // namespace rb
