// The twelve exits of a room. The slot number fixes the place in
// WorkingRoom::exitd, the position in the room function's links array
// (slot - 1) and the explorer's reading of that array.
#pragma once

#include <array>
#include <string_view>

namespace rb {

struct ExitSlot {
  int slot;               // 1..12
  std::string_view name;  // capitalised direction name
  char key;               // keypad key (or letter) that selects it
};

inline constexpr std::array<ExitSlot, 12> kExitSlots = {{
    {1, "North", '8'},
    {2, "South", '2'},
    {3, "East", '6'},
    {4, "West", '4'},
    {5, "Northeast", '9'},
    {6, "Southeast", '3'},
    {7, "Southwest", '1'},
    {8, "Northwest", '7'},
    {9, "Up", 'u'},
    {10, "Down", 'd'},
    {11, "In", 'i'},
    {12, "Out", 'o'},
}};

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
