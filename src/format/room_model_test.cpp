#include <gtest/gtest.h>

#include "format/room_model.h"
#include "format/terrain_table.h"

namespace rb {
namespace {

TEST(RoomModel, EverythingStartsEmptyAndZero) {
  const WorkingRoom room;
  EXPECT_EQ(room.room, 0);
  EXPECT_EQ(room.lines, 0);
  EXPECT_EQ(room.clines, 0);
  EXPECT_EQ(room.command, 0);
  EXPECT_EQ(room.t, 0.0f);
  EXPECT_EQ(room.roomterrain, 0);
  EXPECT_EQ(room.roomdark, 0);
  EXPECT_TRUE(room.shortname.empty());
  EXPECT_TRUE(room.tempregionname.empty());
  for (int exit : room.exitd)
    EXPECT_EQ(exit, 0);
  const AreaDefaults area;
  EXPECT_EQ(area.roomfirst, 0);
  EXPECT_EQ(area.roomlast, 0);
  EXPECT_EQ(area.region, 0);
  EXPECT_EQ(area.areaterrain, 0);
  EXPECT_EQ(area.areadark, 0);
  EXPECT_TRUE(area.regionname.empty());
}

TEST(TerrainTable, NamesDifferFromMenuLines) {
  EXPECT_EQ(terraintype[7].name, "Ice");
  EXPECT_EQ(terraintype[7].menuLine, "7: Iceland. (Ice/snow covered areas.)\n");
  EXPECT_EQ(terraintype[16].name, "Underground Water");
  EXPECT_EQ(terraintype[17].menuLine, "17: On-ship. (On board a working ship.) *restricted use*\n");
  EXPECT_EQ(terraintype[17].roomMenuLine,
            "17: On-ship. (Onboard a working ship.) *restricted use*\n");
  // Apart from code 17, both menus print the same lines, each starting with its code.
  for (int code = TerrainTable::kFirst; code <= TerrainTable::kLast; ++code) {
    const std::string prefix = std::to_string(code) + ": ";
    EXPECT_EQ(terraintype[code].menuLine.substr(0, prefix.size()), prefix);
    EXPECT_LE(terraintype[code].name.size(), 19u);
    if (code != 17) {
      EXPECT_EQ(terraintype[code].menuLine, terraintype[code].roomMenuLine);
    }
    EXPECT_EQ(TerrainTable::restricted(code), code >= 17);
  }
  EXPECT_FALSE(TerrainTable::valid(0));
  EXPECT_FALSE(TerrainTable::valid(19));
}

}  // namespace
}  // namespace rb
