#include "app/main_menu.h"

#include <gtest/gtest.h>

#include "app/setup_menu.h"
#include "test_support.h"

namespace rb {
namespace {

using test::kMainMenu;

const std::string kOptions =
    "Options menu:\n\n"
    "x: Exit options menu.\n"
    "1: Toggle room creation menu suppression.\n"
    "(Type ? at the room creation prompt to\n"
    "reveal suppressed menus)\n";

TEST(MainMenu, KeysOneToFourRunTheirDialoguesWithTheAppendFlag) {
  Console con("1243\n0");
  Settings settings;
  std::string calls;
  MainMenuActions actions{
      [&] { calls += settings.append ? "append;" : "create;"; },
      [&] { calls += "transfer;"; },
      [&] { calls += "explore;"; },
  };
  EXPECT_EQ(mainMenu(con, settings, actions), 0);
  EXPECT_EQ(calls, "create;append;explore;transfer;");
  EXPECT_EQ(settings.append, 0);  // reset on every pass of the menu
}

TEST(MainMenu, EndOfInputAtTheMenuEndsWithStatusZero) {
  Console con("x");
  Settings settings;
  EXPECT_EQ(mainMenu(con, settings, {}), 0);
  EXPECT_EQ(con.output(), std::string(kMainMenu) + kMainMenu);
}

TEST(SetupMenu, TogglesAndShowsTheState) {
  Console con("1X\n1x");
  Settings settings;
  options(con, settings);
  EXPECT_EQ(settings.menusup, 1);
  const std::string shown = kOptions + "\tRoom creation menu not suppressed.\n";
  const std::string hidden = kOptions + "\tRoom creation menu currently suppressed.\n";
  const std::string toggled = "Room creation menu suppression toggled.\n";
  EXPECT_EQ(con.output(), shown + toggled + hidden + hidden + hidden + toggled + shown);
}

TEST(SetupMenu, ShowOnceCountsAsNotSuppressedAndTogglesToSuppressed) {
  Console con("1x");
  Settings settings;
  settings.menusup = kMenuShowOnce;
  options(con, settings);
  EXPECT_EQ(settings.menusup, kMenuSuppressed);
}

}  // namespace
}  // namespace rb
