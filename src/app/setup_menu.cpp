#include "app/setup_menu.h"

namespace rb {

void options(Console& con, Settings& settings) {
  for (;;) {
    con.print(
        "Options menu:\n\n"
        "x: Exit options menu.\n"
        "1: Toggle room creation menu suppression.\n"
        "(Type ? at the room creation prompt to\n"
        "reveal suppressed menus)\n");
    con.print(settings.menusup == kMenuSuppressed ? "\tRoom creation menu currently suppressed.\n"
                                                  : "\tRoom creation menu not suppressed.\n");
    const int key = con.getch();
    if (key == 'x') return;
    if (key == '1') {
      settings.menusup = settings.menusup != 0 ? kMenuSuppressed : kMenuShown;
      con.print("Room creation menu suppression toggled.\n");
    }
  }
}

}  // namespace rb
