// `roombuilder export --format=mudlet`: a world as a map the players'
// client Mudlet loads (its JSON map format, version 1.0, "load map" from
// release 4.14 on). An area for each room file, named after it; each room
// at whole-number coordinates of the grid `map` draws (east +x, north +y;
// what an up exit reaches one z higher, a down exit one lower; what in or
// out reaches, or nothing, beside the rest on z 0); its terrain as a colour
// of its own (environments 101 to 118); its exits by the client's direction
// names, and a stub where an exit leads to no room the map holds. The
// output is sorted, so two exports of one world are the same bytes.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "files/output_stream.h"
#include "tools/map/svg_map.h"
#include "world/area_layout.h"
#include "world/world.h"

namespace rb {

// Where each room of an area stands on the client's map: [x, y, z] by
// record (counted from the layout's first). The grid of `layout` as it is,
// each panel moved as a whole, so that no two rooms share a place.
std::vector<std::array<int, 3>> mapCoordinates(const AreaGraph& graph, const AreaLayout& layout);

// The environment (colour) of a terrain on the client's map.
inline int mudletEnvironment(int terrain) {
  return 100 + terrain;
}

// Writes the map of `world` (read with names, rows and exits; `names` the
// short names of its records); returns the warnings, as whole lines, for
// the rooms the client cannot show.
std::vector<std::string> writeMudletMap(const World& world, const RoomNames& names,
                                        OutputStream& out);

}  // namespace rb
