// Laying an area out on a grid for the map: a room's north neighbour above
// it, its east neighbour to its right, diagonals on the diagonals.
//
// Rooms joined by compass exits (either way) share a panel. Up, down, in
// and out do not join rooms: what they lead to is laid out in a panel of its
// own (a level). Rooms joined to no other room at all share one last panel.
// Where two rooms would take one cell, the later one takes a free cell next
// to the room it is reached from, as near the cell it wanted as there is
// (so that the line between them stays short and passes no other room),
// else the nearest free cell around the one it wanted, else a cell below the
// panel. Every room is placed exactly once, in time linear in the rooms.
#pragma once

#include <cstdint>
#include <vector>

#include "world/area_graph.h"

namespace rb {

struct GridCell {
  std::uint32_t panel = 0;
  int col = 0;  // from 0 at the panel's left
  int row = 0;  // from 0 at the panel's top
};

struct LayoutPanel {
  std::size_t first = 0, end = 0;  // its rooms: AreaLayout::order[first, end), as placed
  int cols = 0;
  int rows = 0;
  bool unconnected = false;  // the panel of rooms joined to nothing
};

// Which room stands in which cell: open addressing on (panel, col, row).
class CellIndex {
 public:
  static constexpr std::uint32_t kNoRoom = static_cast<std::uint32_t>(-1);

  void reset(std::size_t rooms);
  // The room in the cell, or kNoRoom.
  std::uint32_t at(std::uint32_t panel, int col, int row) const;
  void put(std::uint32_t panel, int col, int row, std::uint32_t room);
  // The slots looked at so far: the work the index has done, which tests
  // hold linear in the rooms whatever the shape of the world.
  std::uint64_t probes() const { return probes_; }

 private:
  struct Entry {
    std::uint32_t panel = 0;  // + 1; 0 for a free slot
    int col = 0;
    int row = 0;
    std::uint32_t room = kNoRoom;
  };
  std::size_t slot(std::uint32_t panel, int col, int row) const;
  std::vector<Entry> entries_;
  mutable std::uint64_t probes_ = 0;
};

// The layout of rooms [first, end) of a graph (one area of a world). Rooms
// are named by their index in the graph; exits to rooms outside the range
// join nothing.
struct AreaLayout {
  std::size_t first = 0, end = 0;
  std::vector<LayoutPanel> panels;
  // The rooms, panel by panel, as placed, counted from the range's first.
  std::vector<std::uint32_t> order;
  std::vector<GridCell> cells;  // by room - first
  CellIndex index;              // rooms (counted from first) by their final cells
  std::uint64_t work = 0;       // slots of cell indexes looked at while laying out

  bool holds(std::size_t room) const { return room >= first && room < end; }
  const GridCell& cell(std::size_t room) const { return cells[room - first]; }
};

// The first panel is laid out from `start` (a room of the range), or from
// the first room when `start` is outside it.
AreaLayout layOut(const AreaGraph& graph, std::size_t first, std::size_t end, std::size_t start);

}  // namespace rb
