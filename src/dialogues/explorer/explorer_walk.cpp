#include "dialogues/explorer/explorer_walk.h"

#include "base/number_text.h"
#include "base/visible_text.h"
#include "dialogues/explorer/statistics.h"
#include "format/exit_slot.h"
#include "terminal/keys.h"
#include "terminal/line_sizes.h"
#include "world/area_graph.h"

namespace rb {

namespace {

// The start room chosen by the user, or nullptr after q.
const WorkingRoom* chooseStartRoom(Console& con, const RoomMap& map, int lowest) {
  for (;;) {
    con.print("Which room do you wish to start in? (q to quit)\n");
    const std::string answer = con.readLine(kExplorerLineSize, LineKind::Number);
    if (answer == "q") return nullptr;
    if (const WorkingRoom* room = map.find(textToInt(answer), lowest)) return room;
    con.print("No such room.\n");
  }
}

}  // namespace

namespace {

// The statistics of the present rooms, in ascending number as the map holds
// them, from the room being shown.
std::string statistics(const RoomMap& map, int lowest, const WorkingRoom& current) {
  AreaGraph graph;
  std::vector<bool> named;
  std::size_t start = 0;
  for (std::size_t i = 0; i < kMapRooms; ++i) {
    if (!map.present(i)) continue;
    if (&map[i] == &current) start = graph.size();
    // A present room's number is an int: lowest + index does not overflow.
    graph.add(static_cast<int>(static_cast<long long>(lowest) + static_cast<long long>(i)),
              map[i].exitd);
    named.push_back(!map[i].shortname.empty());
  }
  graph.finish();
  return statisticsReport(graph, named, start);
}

// A text of the room file, with its control bytes made visible when it goes
// to a terminal; on a pipe as it is.
void printFileText(Console& con, const std::string& text) {
  if (!con.printsToTerminal()) {
    con.print(text, "\n");
    return;
  }
  std::string shown;
  appendCaretNotation(shown, text);
  con.print(shown, "\n");
}

}  // namespace

void showRoom(Console& con, const WorkingRoom& room) {
  printFileText(con, room.shortname);
  for (int i = 0; i <= room.lines && i < kMaxTextLines; ++i) {
    const std::string& line = room.ldesc[static_cast<std::size_t>(i)];
    if (!line.empty()) printFileText(con, line);
  }
  // Every exit but a north one starts on a line of its own.
  for (const int slot : kShownOrder) {
    const int destination = room.exitd[static_cast<std::size_t>(slot)];
    if (destination != kNoExit)
      con.print(slot == 1 ? "" : "\n", exitSlot(slot).name, ":\t", destination);
  }
  con.print("\n");
}

void walk(Console& con, const RoomMap& map, int lowest) {
  const WorkingRoom* current = chooseStartRoom(con, map, lowest);
  if (!current) return;
  con.print(
      "Use the keypad to move around (8=north etc.)\n"
      "Also keys u,d,i,o are available.\n"
      "Press key 5 to quit.\n\n"
      "Pressing s calls up certain statistics about this room file.\n");
  for (;;) {
    showRoom(con, *current);
    // The keypad works with NumLock on or off.
    const int key = keypadDigit(con.getch());
    if (key == kEndKey) return;
    if (key == 's') {
      con.print(statistics(map, lowest, *current));
      continue;
    }
    const int slot = exitSlotForKey(key);
    if (slot == 0) continue;
    const int destination = current->exitd[static_cast<std::size_t>(slot)];
    if (destination == kNoExit) continue;
    if (const WorkingRoom* next = map.find(destination, lowest)) {
      current = next;
    } else {
      con.print("Invalid exit/room not present in room file.\n");
    }
  }
}

}  // namespace rb
