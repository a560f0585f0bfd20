#include "app/main_menu.h"

#include "app/setup_menu.h"
#include "base/version.h"

namespace rb {

void printBanner(Console& con) {
  con.print("Welcome to Varneth Room Builder ", kVersion, "\n\n");
  con.print(
      "This program was written by Haldrun,\n"
      "and designed to create rooms for use\n"
      "in the world of Varneth.\n\n"
      "Changes from versions 1.15-1.17 by Tesk.\n\n"
      "Ported to UNIX by Tesk.\n\n");
}

int mainMenu(Console& con, Settings& settings, const MainMenuActions& actions) {
  for (;;) {
    settings.append = 0;
    con.print(
        "Please Select your option:\n"
        "0: Exit Varneth Room Builder.\n"
        "1: Create New Room(s).\n"
        "2: Append Room File.\n"
        "3: Edit Rooms During File Transfer.\n"
        "4: Explore Room File.\n"
        "s: Edit Setup of Tov.\n");
    int key;
    try {
      key = con.getch();
    } catch (const EndOfInput&) {
      return 0;
    }
    switch (key) {
      case '0':
        con.print("Thank you for using Varneth Room Builder.\n");
        return 0;
      case '1':
        if (actions.buildArea) actions.buildArea();
        break;
      case '2':
        settings.append = 1;
        if (actions.buildArea) actions.buildArea();
        break;
      case '3':
        if (actions.transfer) actions.transfer();
        break;
      case '4':
        if (actions.explore) actions.explore();
        break;
      case 's':
        options(con, settings);
        break;
      default:
        break;
    }
  }
}

}  // namespace rb
