// The explorer's statistics (key s in the walk): counts of the rooms and
// exits loaded and of what is wrong with them, each count followed by its
// first cases.
#pragma once

#include <string>
#include <vector>

#include "world/area_graph.h"

namespace rb {

// The report on `graph` (its rooms in ascending number); `named` tells which
// rooms have a short name; reachability is counted from room `start`.
std::string statisticsReport(const AreaGraph& graph, const std::vector<bool>& named,
                             std::size_t start);

}  // namespace rb
