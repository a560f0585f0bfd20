#include <cctype>
#include <string>

#include "builder/exit_slot.h"
#include "builder/field_editors.h"
#include "shell/number_prompt.h"

namespace rb {

namespace {

void promptForDestination(Console& con, const ExitSlot& exit) {
  std::string direction(exit.name);
  for (char& c : direction)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  con.print("Please enter destination of new ", direction, " exit (-1 for no exit):\n");
}

}  // namespace

void exits(Console& con, WorkingRoom& room) {
  for (;;) {
    con.print(
        "Please type the keypad key corresponding to the exit you wish\n"
        "to change, e.g. 8 for north, 3 for southeast. Type 5 to end, or u, d,\n"
        "i, or o to change up, down, in, or out exits.\n");
    for (const ExitSlot& exit : kExitSlots) {
      const int destination = room.exitd[static_cast<std::size_t>(exit.slot)];
      if (destination != kNoExit) con.print(exit.name, " exit to room:\t", destination, "\n");
    }
    const int key = con.getch();
    if (key == kEndKey) return;
    if (const int slot = exitSlotForKey(key)) {
      promptForDestination(con, kExitSlots[static_cast<std::size_t>(slot - 1)]);
      readNumberLine(con, room.exitd[static_cast<std::size_t>(slot)]);
    }
  }
}

}  // namespace rb
