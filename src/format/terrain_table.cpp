#include "format/terrain_table.h"

#include <array>

namespace rb {

namespace {

constexpr TerrainType row(std::string_view name, std::string_view line) {
  return {name, line, line};
}

constexpr std::array<TerrainType, TerrainTable::kLast + 1> kTerrains = {{
    {},
    row("City", "1: Cityland. (Outdoor in cities.)\n"),
    row("Building", "2: Buildingland. (Indoors, inside buildings.)\n"),
    row("Plains", "3: Plainland. (Barren plains areas.)\n"),
    row("Swamps", "4: Swampland. (Swampy areas.)\n"),
    row("Forest", "5: Forestland. (Tree filled areas.)\n"),
    row("Mountains", "6: Mountainland. (In the mountains.)\n"),
    row("Ice", "7: Iceland. (Ice/snow covered areas.)\n"),
    row("Hills", "8: Hilland. (Low hills, less servere terrain than mountains.)\n"),
    row("Caverns", "9: Cavernland. (Indoors, in natural caves and tunnels.)\n"),
    row("Deserts", "10: Desertland. (Sandy, desert areas.)\n"),
    row("Coastal", "11: Coastalland. (Beaches.)\n"),
    row("Rivers", "12: Riverland. (Flowing fresh water areas.)\n"),
    row("Lakes", "13: Lakeland. (Still fresh water areas.)\n"),
    row("Grassland", "14: Grassland. (Fertile plains areas.)\n"),
    row("Roads", "15: Roadland. (Any kind of road outside of cities.)\n"),
    row("Underground Water", "16: Underriver. (Underground rivers.)\n"),
    {"On-ship", "17: On-ship. (On board a working ship.) *restricted use*\n",
     "17: On-ship. (Onboard a working ship.) *restricted use*\n"},
    row("Divine", "18: Divine. (Special non-terrain locations.) *restricted use*\n"),
}};

}  // namespace

const TerrainType& TerrainTable::operator[](int code) const {
  return kTerrains[valid(code) ? static_cast<std::size_t>(code) : 0];
}

}  // namespace rb
