#include "explorer/explorer_walk.h"

#include "builder/exit_slot.h"
#include "insight/statistics.h"
#include "shell/keys.h"
#include "shell/number_text.h"
#include "shell/visible_text.h"

namespace rb {

namespace {

// The start room chosen by the user, or nullptr after q.
const MapRoom* chooseStartRoom(Console& con, const RoomMap& map, int lowest) {
  for (;;) {
    con.print("Which room do you wish to start in? (q to quit)\n");
    const std::string answer = con.readLine(kExplorerLineSize, LineKind::Number);
    if (answer == "q") return nullptr;
    if (const MapRoom* room = map.find(textToInt(answer), lowest)) return room;
    con.print("No such room.\n");
  }
}

}  // namespace

namespace {

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

void showRoom(Console& con, const MapRoom& room) {
  printFileText(con, room.shortName);
  for (const std::string& line : room.description) {
    if (!line.empty()) printFileText(con, line);
  }
  // Every exit but a north one starts on a line of its own.
  for (const int slot : kShownOrder) {
    const int destination = room.exits[static_cast<std::size_t>(slot - 1)];
    if (destination != kNoExit)
      con.print(slot == 1 ? "" : "\n", exitSlot(slot).name, ":\t", destination);
  }
  con.print("\n");
}

void walk(Console& con, const RoomMap& map, int lowest) {
  const MapRoom* current = chooseStartRoom(con, map, lowest);
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
      printStatistics(con, map, lowest, *current);
      continue;
    }
    const int slot = exitSlotForKey(key);
    if (slot == 0) continue;
    const int destination = current->exits[static_cast<std::size_t>(slot - 1)];
    if (destination == kNoExit) continue;
    if (const MapRoom* next = map.find(destination, lowest)) {
      current = next;
    } else {
      con.print("Invalid exit/room not present in room file.\n");
    }
  }
}

}  // namespace rb
