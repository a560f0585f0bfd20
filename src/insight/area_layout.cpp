#include "insight/area_layout.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace rb {

namespace {

// How far around a taken cell a free one is looked for; beyond that a room
// goes below the panel's rooms, which keeps the layout linear in the rooms.
constexpr int kSearchRings = 3;

struct Link {
  int slot;  // as seen from the room that has the link
  std::size_t other;
};

long long cellKey(int col, int row) {
  return (static_cast<long long>(col) << 32) ^ static_cast<unsigned int>(row);
}

class PanelBuilder {
 public:
  PanelBuilder(int panel, AreaLayout& layout) : panel_(panel), layout_(layout) {}

  void place(std::size_t room, int col, int row) {
    if (taken_.count(cellKey(col, row)) != 0 && !nearestFree(col, row)) {
      col = overflowCol_++;
      row = maxRow_ + 2;
    }
    taken_.emplace(cellKey(col, row), room);
    layout_.cells[room] = {panel_, col, row};
    minCol_ = std::min(minCol_, col);
    maxCol_ = std::max(maxCol_, col);
    minRow_ = std::min(minRow_, row);
    maxRow_ = std::max(maxRow_, row);
    rooms_.push_back(room);
  }

  const std::vector<std::size_t>& placed() const { return rooms_; }

  LayoutPanel finish() {
    LayoutPanel panel;
    panel.rooms = std::move(rooms_);
    for (const std::size_t room : panel.rooms) {
      layout_.cells[room].col -= minCol_;
      layout_.cells[room].row -= minRow_;
    }
    panel.cols = maxCol_ - minCol_ + 1;
    panel.rows = maxRow_ - minRow_ + 1;
    return panel;
  }

 private:
  // Moves (col, row) to the closest free cell within a few rings.
  bool nearestFree(int& col, int& row) const {
    for (int ring = 1; ring <= kSearchRings; ++ring) {
      int bestCol = 0, bestRow = 0;
      double best = -1;
      for (int dc = -ring; dc <= ring; ++dc) {
        for (int dr = -ring; dr <= ring; ++dr) {
          if (std::max(std::abs(dc), std::abs(dr)) != ring) continue;
          if (taken_.count(cellKey(col + dc, row + dr)) != 0) continue;
          const double distance = std::hypot(dc, dr);
          if (best < 0 || distance < best) {
            best = distance;
            bestCol = col + dc;
            bestRow = row + dr;
          }
        }
      }
      if (best >= 0) {
        col = bestCol;
        row = bestRow;
        return true;
      }
    }
    return false;
  }

  int panel_;
  AreaLayout& layout_;
  std::unordered_map<long long, std::size_t> taken_;
  std::vector<std::size_t> rooms_;
  int minCol_ = 0, maxCol_ = 0, minRow_ = 0, maxRow_ = 0;
  int overflowCol_ = 0;
};

}  // namespace

GridStep gridStep(int slot) {
  switch (slot) {
    case 1:
      return {0, -1};  // north
    case 2:
      return {0, 1};  // south
    case 3:
      return {1, 0};  // east
    case 4:
      return {-1, 0};  // west
    case 5:
      return {1, -1};  // northeast
    case 6:
      return {1, 1};  // southeast
    case 7:
      return {-1, 1};  // southwest
    case 8:
      return {-1, -1};  // northwest
    default:
      return {0, 0};
  }
}

AreaLayout layOut(const AreaGraph& graph) {
  const auto& rooms = graph.rooms();
  AreaLayout layout;
  layout.cells.resize(rooms.size());
  // Compass links both ways; whether a room is joined to any other at all.
  std::vector<std::vector<Link>> links(rooms.size());
  std::vector<bool> joined(rooms.size(), false);
  for (std::size_t i = 0; i < rooms.size(); ++i) {
    for (const int slot : kShownOrder) {
      const int destination = rooms[i].exits[static_cast<std::size_t>(slot - 1)];
      if (destination == kNoExit) continue;
      const std::size_t j = graph.find(destination);
      if (j == AreaGraph::kNone || j == i) continue;
      joined[i] = joined[j] = true;
      if (gridStep(slot).col == 0 && gridStep(slot).row == 0) continue;
      links[i].push_back({slot, j});
      links[j].push_back({exitSlot(slot).opposite, i});
    }
  }
  std::vector<bool> placed(rooms.size(), false);
  std::vector<std::size_t> alone;
  for (std::size_t start = 0; start < rooms.size(); ++start) {
    if (placed[start]) continue;
    if (!joined[start]) {
      alone.push_back(start);
      continue;
    }
    // Breadth first from the first room not yet placed: each neighbour one
    // step from the room that leads to it.
    PanelBuilder panel(static_cast<int>(layout.panels.size()), layout);
    panel.place(start, 0, 0);
    placed[start] = true;
    for (std::size_t next = 0; next < panel.placed().size(); ++next) {
      const std::size_t room = panel.placed()[next];
      const GridCell at = layout.cells[room];
      for (const Link& link : links[room]) {
        if (placed[link.other]) continue;
        placed[link.other] = true;
        const GridStep step = gridStep(link.slot);
        panel.place(link.other, at.col + step.col, at.row + step.row);
      }
    }
    layout.panels.push_back(panel.finish());
  }
  if (!alone.empty()) {
    PanelBuilder panel(static_cast<int>(layout.panels.size()), layout);
    const int columns = std::max(1, static_cast<int>(std::ceil(std::sqrt(alone.size()))));
    for (std::size_t k = 0; k < alone.size(); ++k) {
      panel.place(alone[k], static_cast<int>(k) % columns, static_cast<int>(k) / columns);
    }
    layout.panels.push_back(panel.finish());
    layout.panels.back().unconnected = true;
  }
  return layout;
}

}  // namespace rb
