#include "dialogues/explorer/explore.h"

#include <memory>

#include "base/number_text.h"
#include "dialogues/explorer/explorer_walk.h"
#include "dialogues/explorer/room_file_reader.h"
#include "files/input_file.h"
#include "format/room_model.h"
#include "terminal/line_sizes.h"

namespace rb {

void explore(Console& con) {
  InputFile file;
  while (!file.isOpen()) {
    con.print(
        "Please enter the name of the room\n"
        "file you wish to explore.\n"
        "WARNING: Files not created using tov,\n"
        "or those modified since creation may\n"
        "function incorrectly with this option.\n");
    const std::string name = con.readLine(kFileNameSize, LineKind::FileName);
    // An empty line is the way back to the main menu.
    if (name.empty()) return;
    file.open(name);
  }
  con.print("What is the lowest room number?\n");
  const int lowest = textToInt(con.readLine(kExplorerLineSize, LineKind::Number));
  const auto map = std::make_unique<RoomMap>();
  loadRooms(file.fd(), lowest, *map);
  file.close();
  walk(con, *map, lowest);
}

}  // namespace rb
