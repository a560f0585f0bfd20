#include "dialogues/builder/terrain_choice.h"

#include "format/terrain_table.h"
#include "terminal/number_prompt.h"

namespace rb {

namespace {

constexpr const char* kPasscode = "kelvapass2093";
constexpr std::size_t kPasscodeSize = 20;
constexpr const char* kNotAuthorised =
    "That is not the correct passcode. You are not\n"
    "authorised to use these terrain types.\n";

enum class Menu { Area, Room };

void printTerrainMenu(Console& con, Menu menu) {
  for (int code = TerrainTable::kFirst; code <= TerrainTable::kLast; ++code) {
    const TerrainType& terrain = terraintype[code];
    con.print(menu == Menu::Area ? terrain.menuLine : terrain.roomMenuLine);
  }
}

// Whether a code in range may be used: restricted ones need the passcode.
bool allowed(Console& con, int code) {
  if (!TerrainTable::restricted(code) || passcodeAccepted(con)) return true;
  con.print(kNotAuthorised);
  return false;
}

}  // namespace

bool passcodeAccepted(Console& con) {
  con.print("Please give the passcode required to use these terrains.\n");
  return con.readSecretLine(kPasscodeSize) == kPasscode;
}

void chooseAreaTerrain(Console& con, AreaDefaults& area) {
  for (;;) {
    con.print("Please choose default terrain type.\n");
    printTerrainMenu(con, Menu::Area);
    con.readInt(area.areaterrain);
    con.print("Area type chosen: ", area.areaterrain, "\n");
    con.readLine(kScratchSize);
    if (!TerrainTable::valid(area.areaterrain)) {
      con.print("This is an invalid terrain type.\n");
    } else if (allowed(con, area.areaterrain)) {
      return;
    }
  }
}

void chooseRoomTerrain(Console& con, WorkingRoom& room) {
  for (;;) {
    con.print("Please choose room terrain type.\n");
    printTerrainMenu(con, Menu::Room);
    readNumberLine(con, room.roomterrain);
    if (!TerrainTable::valid(room.roomterrain)) {
      con.print("Invalid terrain type.\n");
    } else if (allowed(con, room.roomterrain)) {
      return;
    }
  }
}

}  // namespace rb
