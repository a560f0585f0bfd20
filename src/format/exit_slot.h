// The twelve exits of a room: the one table of directions. The slot number
// fixes the place in WorkingRoom::exitd, the position in the room function's
// links array (slot - 1) and the explorer's reading of that array; the rest
// says how each direction is chosen, named, shown, walked back and drawn.
// Everywhere in the program an exit is known by its slot, 1..12.
#pragma once

#include <array>
#include <string_view>

namespace rb {

struct ExitSlot {
  int slot;               // 1..12
  char key;               // keypad key (or letter) that selects it
  std::string_view name;  // capitalised, as the exit editor lists it and the walk shows it
  std::string_view word;  // lower case, as prompts and reports name it
  int shown;              // place in the order in which the walk shows a room's exits
  int opposite;           // slot of the way back
  int gridCol;            // the step on the map's grid: columns grow to the east,
  int gridRow;            // rows to the south; 0, 0 for up, down, in and out

  bool onGrid() const { return gridCol != 0 || gridRow != 0; }
};

inline constexpr int kExitCount = 12;
inline constexpr int kNoExit = -1;  // destination of a direction without an exit

// A room's exits by slot: [1] north .. [12] out; [0] is never used.
using Exits = std::array<int, kExitCount + 1>;

inline constexpr std::array<ExitSlot, kExitCount> kExitSlots = {{
    {1, '8', "North", "north", 0, 2, 0, -1},
    {2, '2', "South", "south", 1, 1, 0, 1},
    {3, '6', "East", "east", 2, 4, 1, 0},
    {4, '4', "West", "west", 3, 3, -1, 0},
    {5, '9', "Northeast", "northeast", 4, 7, 1, -1},
    {6, '3', "Southeast", "southeast", 7, 8, 1, 1},
    {7, '1', "Southwest", "southwest", 6, 5, -1, 1},
    {8, '7', "Northwest", "northwest", 5, 6, -1, -1},
    {9, 'u', "Up", "up", 10, 10, 0, 0},
    {10, 'd', "Down", "down", 11, 9, 0, 0},
    {11, 'i', "In", "in", 8, 12, 0, 0},
    {12, 'o', "Out", "out", 9, 11, 0, 0},
}};

inline constexpr const ExitSlot& exitSlot(int slot) {
  return kExitSlots[static_cast<std::size_t>(slot - 1)];
}

// The slots in the order the walk shows them: north, south, east, west,
// northeast, northwest, southwest, southeast, in, out, up, down.
inline constexpr std::array<int, kExitCount> kShownOrder = [] {
  std::array<int, kExitCount> order{};
  for (const ExitSlot& exit : kExitSlots)
    order[static_cast<std::size_t>(exit.shown)] = exit.slot;
  return order;
}();

// Key 5 is never a direction: it ends the exit editor and the explorer walk.
inline constexpr int kEndKey = '5';

// The slot that `key` selects, or 0 when it selects none. Letters match in
// lower case only.
constexpr int exitSlotForKey(int key) {
  for (const ExitSlot& exit : kExitSlots) {
    if (exit.key == key) return exit.slot;
  }
  return 0;
}

}  // namespace rb
