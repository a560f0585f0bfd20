// Where a dig lands: the grid of `map --start N` for room N's file (north
// up, east right), so that a room dug to the east of another stands where
// the map shows it, and a room already standing there is found.
#pragma once

#include <cstddef>

#include "world/staged_world.h"

namespace rb {

// How far from the room, in compass steps, the grid is laid out: the rooms
// nearer are placed exactly as on the whole map (a layout places every room
// of a step before any of the next).
inline constexpr int kDigGridSteps = 32;

// The room in the grid cell next to room `id` in direction `slot` (a
// compass direction), or StagedWorld::kNone when the cell is empty.
std::size_t roomBeside(const StagedWorld& world, std::size_t id, int slot);

}  // namespace rb
