// `roombuilder map`: a picture of an area as SVG. Rooms are boxes with
// their number and short name on the grid of area_layout.h, one panel
// after another; two-way links are plain lines, one-way exits arrows, exits
// to missing rooms short red stubs with the missing number, and up, down,
// in and out are marked on the room they leave. The first room of the file
// is marked; a legend says what the marks mean.
#pragma once

#include <string>
#include <vector>

#include "insight/area_graph.h"

namespace rb {

// `names` are the rooms' short names, by room index; `title` names the
// picture (the file name).
std::string svgMap(const AreaGraph& graph, const std::vector<std::string>& names,
                   const std::string& title);

}  // namespace rb
