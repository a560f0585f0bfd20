#include "dialogues/builder/field_editors.h"
#include "format/exit_slot.h"
#include "terminal/keys.h"
#include "terminal/number_prompt.h"

namespace rb {

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
    // The keypad works with NumLock on or off.
    const int key = keypadDigit(con.getch());
    if (key == kEndKey) return;
    if (const int slot = exitSlotForKey(key)) {
      con.print("Please enter destination of new ", exitSlot(slot).word,
                " exit (-1 for no exit):\n");
      readNumberLine(con, room.exitd[static_cast<std::size_t>(slot)]);
    }
  }
}

}  // namespace rb
