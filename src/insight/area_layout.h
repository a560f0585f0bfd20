// Laying an area out on a grid for the map: a room's north neighbour above
// it, its east neighbour to its right, diagonals on the diagonals.
//
// Rooms joined by compass exits (either way) share a panel. Up, down, in
// and out do not join rooms: what they lead to is laid out in a panel of its
// own (a level). Rooms joined to no other room at all share one last panel.
// Where two rooms would take one cell, the later one takes the nearest free
// cell. Every room is placed exactly once, in time about linear in the rooms.
#pragma once

#include <string>
#include <vector>

#include "insight/area_graph.h"

namespace rb {

struct GridCell {
  int panel = 0;
  int col = 0;  // from 0 at the panel's left
  int row = 0;  // from 0 at the panel's top
};

struct LayoutPanel {
  std::vector<std::size_t> rooms;  // in the order they were placed
  int cols = 0;
  int rows = 0;
  bool unconnected = false;  // the panel of rooms joined to nothing
};

struct AreaLayout {
  std::vector<LayoutPanel> panels;
  std::vector<GridCell> cells;  // by room index
};

AreaLayout layOut(const AreaGraph& graph);

// The grid step of a compass slot (column, row; rows grow downwards), or
// {0, 0} for up, down, in and out.
struct GridStep {
  int col;
  int row;
};
GridStep gridStep(int slot);

}  // namespace rb
