#include "format/exit_slot.h"

#include <gtest/gtest.h>

#include <set>

namespace rb {
namespace {

TEST(ExitSlot, KeypadKeysSelectSlotsInLowerCaseOnly) {
  EXPECT_EQ(exitSlotForKey('8'), 1);
  EXPECT_EQ(exitSlotForKey('3'), 6);
  EXPECT_EQ(exitSlotForKey('7'), 8);
  EXPECT_EQ(exitSlotForKey('o'), 12);
  EXPECT_EQ(exitSlotForKey('5'), 0);
  EXPECT_EQ(exitSlotForKey('U'), 0);
  EXPECT_EQ(exitSlotForKey('\n'), 0);
  std::set<char> keys;
  for (std::size_t i = 0; i < kExitSlots.size(); ++i) {
    EXPECT_EQ(kExitSlots[i].slot, static_cast<int>(i) + 1);
    keys.insert(kExitSlots[i].key);
  }
  EXPECT_EQ(keys.size(), 12u);
}

// The way back of the way back is the way itself, and it is drawn the
// other way round on the map; only the compass directions are on the grid.
TEST(ExitSlot, OppositesPairUpAndPointBack) {
  std::set<int> shown;
  for (const ExitSlot& exit : kExitSlots) {
    const ExitSlot& back = exitSlot(exit.opposite);
    EXPECT_NE(exit.opposite, exit.slot) << exit.name;
    EXPECT_EQ(back.opposite, exit.slot) << exit.name;
    EXPECT_EQ(back.gridCol, -exit.gridCol) << exit.name;
    EXPECT_EQ(back.gridRow, -exit.gridRow) << exit.name;
    EXPECT_EQ(exit.onGrid(), exit.slot <= 8) << exit.name;
    shown.insert(exit.shown);
  }
  EXPECT_EQ(shown.size(), kExitSlots.size());
  EXPECT_EQ(kShownOrder.front(), 1);
  EXPECT_EQ(kShownOrder.back(), 10);
}

}  // namespace
}  // namespace rb
