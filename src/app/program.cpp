#include "app/program.h"

#include "dialogues/builder/area_build.h"
#include "dialogues/explorer/explore.h"
#include "dialogues/transfer/transfer.h"

#include "app/main_menu.h"
#include "dialogues/settings.h"
#include "terminal/fatal_error.h"

namespace rb {

int runProgram(Console& con) {
  Settings settings;
  BuilderState builder;
  MainMenuActions actions;
  actions.buildArea = [&] { newrooms(con, settings, builder); };
  actions.transfer = [&] { transfer(con, settings); };
  actions.explore = [&] { explore(con); };
  try {
    printBanner(con);
    return mainMenu(con, settings, actions);
  } catch (const EndOfInput&) {
    return 1;
  } catch (const FatalError& error) {
    con.print(error.what());
    if (!error.detail.empty()) con.printError(error.detail);
    return 1;
  }
}

}  // namespace rb
