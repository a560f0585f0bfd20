// The banner and the main menu, the program's only top-level loop.
#pragma once

#include <functional>

#include "dialogues/settings.h"
#include "terminal/console.h"

namespace rb {

// The dialogues that main-menu keys hand control to.
struct MainMenuActions {
  std::function<void()> buildArea;  // keys 1 and 2; Settings::append tells which
  std::function<void()> transfer;   // key 3
  std::function<void()> explore;    // key 4
};

void printBanner(Console& con);

// Runs the main menu until key 0 or the end of input at the menu, and returns
// the exit status (0 for both). The end of input inside a dialogue is not
// caught here.
int mainMenu(Console& con, Settings& settings, const MainMenuActions& actions);

}  // namespace rb
