#include "world/area_layout.h"

#include <algorithm>
#include <cmath>

namespace rb {

namespace {

// How far around a taken cell a free one is looked for; beyond that a room
// goes below the panel's rooms, which keeps the layout linear in the rooms.
constexpr int kSearchRings = 3;

// The cells taken while rooms are placed, of every panel.
class TakenCells {
 public:
  explicit TakenCells(std::size_t rooms) { index_.reset(rooms); }
  bool taken(std::uint32_t panel, int col, int row) const {
    return index_.at(panel, col, row) != CellIndex::kNoRoom;
  }
  void take(std::uint32_t panel, int col, int row) { index_.put(panel, col, row, 0); }
  std::uint64_t probes() const { return index_.probes(); }

 private:
  CellIndex index_;
};

// The compass links of the rooms of a range, both ways, as one list a room:
// for room i, entries [start[i], start[i + 1]) of `other` and `slot`.
struct Links {
  std::vector<std::uint32_t> start;
  std::vector<std::uint32_t> other;  // a room, counted from the range's first
  std::vector<std::uint8_t> slot;    // as seen from the room that has the entry
  std::vector<bool> joined;          // joined to another room of the range by any exit
};

Links linksOf(const AreaGraph& graph, std::size_t first, std::size_t end) {
  const std::size_t n = end - first;
  Links links;
  links.start.assign(n + 1, 0);
  links.joined.assign(n, false);
  // Calls `each(i, slot, j)` for each compass exit from i to another room j
  // of the range, room by room in the order the walk shows exits.
  const auto forEach = [&](auto each) {
    for (std::size_t i = 0; i < n; ++i) {
      for (const int slot : kShownOrder) {
        const int destination = graph.exit(first + i, slot);
        if (destination == kNoExit) continue;
        const std::size_t found = graph.find(destination);
        if (found == AreaGraph::kNone || found < first || found >= end || found == first + i) {
          continue;
        }
        each(i, slot, found - first);
      }
    }
  };
  forEach([&](std::size_t i, int slot, std::size_t j) {
    links.joined[i] = links.joined[j] = true;
    if (!exitSlot(slot).onGrid()) return;
    ++links.start[i + 1];
    ++links.start[j + 1];
  });
  for (std::size_t i = 0; i < n; ++i)
    links.start[i + 1] += links.start[i];
  links.other.resize(links.start[n]);
  links.slot.resize(links.start[n]);
  std::vector<std::uint32_t> fill(links.start.begin(), links.start.end() - 1);
  forEach([&](std::size_t i, int slot, std::size_t j) {
    if (!exitSlot(slot).onGrid()) return;
    links.other[fill[i]] = static_cast<std::uint32_t>(j);
    links.slot[fill[i]++] = static_cast<std::uint8_t>(slot);
    links.other[fill[j]] = static_cast<std::uint32_t>(i);
    links.slot[fill[j]++] = static_cast<std::uint8_t>(exitSlot(slot).opposite);
  });
  return links;
}

class PanelBuilder {
 public:
  // `overflowWidth`: how many cells wide the rows below the panel are that
  // take the rooms that find no cell near the one they want.
  PanelBuilder(std::uint32_t panel, AreaLayout& layout, TakenCells& taken, int overflowWidth)
      : panel_(panel), layout_(layout), taken_(taken), overflowWidth_(overflowWidth) {
    first_ = layout_.order.size();
  }

  // Places `room` (counted from the range's first) at the cell it wants, or
  // as near as there is; `from` is the cell of the room it is reached from.
  void place(std::size_t room, int col, int row, const GridCell* from) {
    if (taken_.taken(panel_, col, row) && !(from && besideSource(*from, col, row)) &&
        !nearestFree(col, row)) {
      overflow(col, row);
    }
    taken_.take(panel_, col, row);
    layout_.cells[room] = {panel_, col, row};
    if (layout_.order.size() == first_) {
      minCol_ = maxCol_ = col;
      minRow_ = maxRow_ = row;
    }
    minCol_ = std::min(minCol_, col);
    maxCol_ = std::max(maxCol_, col);
    minRow_ = std::min(minRow_, row);
    maxRow_ = std::max(maxRow_, row);
    layout_.order.push_back(static_cast<std::uint32_t>(room));
  }

  std::size_t placed() const { return layout_.order.size() - first_; }
  std::uint32_t placedRoom(std::size_t k) const { return layout_.order[first_ + k]; }

  LayoutPanel finish() {
    LayoutPanel panel;
    panel.first = first_;
    panel.end = layout_.order.size();
    for (std::size_t k = panel.first; k < panel.end; ++k) {
      GridCell& cell = layout_.cells[layout_.order[k]];
      cell.col -= minCol_;
      cell.row -= minRow_;
    }
    panel.cols = maxCol_ - minCol_ + 1;
    panel.rows = maxRow_ - minRow_ + 1;
    return panel;
  }

 private:
  // A free cell next to the room a room is reached from, nearest the cell
  // it wanted: then the two stand side by side.
  bool besideSource(const GridCell& from, int& col, int& row) const {
    double best = -1;
    int bestCol = 0, bestRow = 0;
    for (int dc = -1; dc <= 1; ++dc) {
      for (int dr = -1; dr <= 1; ++dr) {
        const int c = from.col + dc, r = from.row + dr;
        if ((dc == 0 && dr == 0) || taken_.taken(panel_, c, r)) continue;
        const double distance = std::hypot(c - col, r - row);
        if (best < 0 || distance < best) {
          best = distance;
          bestCol = c;
          bestRow = r;
        }
      }
    }
    if (best < 0) return false;
    col = bestCol;
    row = bestRow;
    return true;
  }

  // The next free cell of the rows below the panel, filled row by row: as
  // wide as the panel, or wider when many rooms overflow (a hub that every
  // room leads to), so that the picture grows in both directions.
  void overflow(int& col, int& row) {
    if (!overflowing_) {
      overflowing_ = true;
      overflowFirstCol_ = overflowCol_ = minCol_;
      overflowRow_ = maxRow_ + 2;
      overflowWidth_ = std::max(overflowWidth_, maxCol_ - minCol_ + 1);
    }
    do {
      col = overflowCol_++;
      row = overflowRow_;
      if (overflowCol_ - overflowFirstCol_ >= overflowWidth_) {
        overflowCol_ = overflowFirstCol_;
        ++overflowRow_;
      }
    } while (taken_.taken(panel_, col, row));
  }

  // Moves (col, row) to the closest free cell within a few rings.
  bool nearestFree(int& col, int& row) const {
    for (int ring = 1; ring <= kSearchRings; ++ring) {
      int bestCol = 0, bestRow = 0;
      double best = -1;
      for (int dc = -ring; dc <= ring; ++dc) {
        for (int dr = -ring; dr <= ring; ++dr) {
          if (std::max(std::abs(dc), std::abs(dr)) != ring) continue;
          if (taken_.taken(panel_, col + dc, row + dr)) continue;
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

  std::uint32_t panel_;
  AreaLayout& layout_;
  TakenCells& taken_;
  std::size_t first_ = 0;
  int minCol_ = 0, maxCol_ = 0, minRow_ = 0, maxRow_ = 0;
  int overflowWidth_;
  bool overflowing_ = false;
  int overflowFirstCol_ = 0, overflowCol_ = 0, overflowRow_ = 0;
};

}  // namespace

void CellIndex::reset(std::size_t rooms) {
  std::size_t capacity = 16;
  while (capacity < rooms * 2)
    capacity *= 2;
  entries_.assign(capacity, Entry{});
}

std::size_t CellIndex::slot(std::uint32_t panel, int col, int row) const {
  // Cells in blocks of 8 by 8: a block lands where the hash of the panel
  // and the block puts it, its cells one after another there, so that the
  // rooms of a neighbourhood, placed and drawn together, share cache lines.
  // The hash mixes every bit of the block's place into every bit it gives,
  // so that blocks along a line or a diagonal spread over the table.
  const std::size_t mask = entries_.size() - 1;
  const auto ucol = static_cast<std::uint32_t>(col), urow = static_cast<std::uint32_t>(row);
  std::uint64_t hash = (static_cast<std::uint64_t>(ucol >> 3) << 32 | (urow >> 3)) ^
                       (static_cast<std::uint64_t>(panel) * 0x9E3779B97F4A7C15ull);
  hash ^= hash >> 30;
  hash *= 0xBF58476D1CE4E5B9ull;
  hash ^= hash >> 27;
  hash *= 0x94D049BB133111EBull;
  hash ^= hash >> 31;
  std::size_t at = static_cast<std::size_t>(hash * 64 + (urow & 7) * 8 + (ucol & 7)) & mask;
  for (;; at = (at + 1) & mask) {
    ++probes_;
    const Entry& entry = entries_[at];
    if (entry.panel == 0 || (entry.panel == panel + 1 && entry.col == col && entry.row == row)) {
      return at;
    }
  }
}

std::uint32_t CellIndex::at(std::uint32_t panel, int col, int row) const {
  if (entries_.empty()) return kNoRoom;
  const Entry& entry = entries_[slot(panel, col, row)];
  return entry.panel == 0 ? kNoRoom : entry.room;
}

void CellIndex::put(std::uint32_t panel, int col, int row, std::uint32_t room) {
  entries_[slot(panel, col, row)] = Entry{panel + 1, col, row, room};
}

AreaLayout layOut(const AreaGraph& graph, std::size_t first, std::size_t end, std::size_t start) {
  AreaLayout layout;
  layout.first = first;
  layout.end = end;
  const std::size_t n = end - first;
  layout.cells.resize(n);
  layout.order.reserve(n);
  const Links links = linksOf(graph, first, end);
  TakenCells taken(n);
  std::vector<bool> placed(n, false);
  std::vector<std::uint32_t> alone;
  const int overflowWidth = std::max(1, static_cast<int>(std::ceil(std::sqrt(n))));
  const auto panelFrom = [&](std::size_t room) {
    // Breadth first: each neighbour one step from the room that leads to it.
    PanelBuilder panel(static_cast<std::uint32_t>(layout.panels.size()), layout, taken,
                       overflowWidth);
    panel.place(room, 0, 0, nullptr);
    placed[room] = true;
    for (std::size_t next = 0; next < panel.placed(); ++next) {
      const std::uint32_t at = panel.placedRoom(next);
      const GridCell cell = layout.cells[at];
      for (std::uint32_t k = links.start[at]; k < links.start[at + 1]; ++k) {
        const std::uint32_t other = links.other[k];
        if (placed[other]) continue;
        placed[other] = true;
        const ExitSlot& step = exitSlot(links.slot[k]);
        panel.place(other, cell.col + step.gridCol, cell.row + step.gridRow, &cell);
      }
    }
    layout.panels.push_back(panel.finish());
  };
  if (start >= first && start < end && links.joined[start - first]) panelFrom(start - first);
  for (std::size_t room = 0; room < n; ++room) {
    if (placed[room]) continue;
    if (!links.joined[room]) {
      alone.push_back(static_cast<std::uint32_t>(room));
      continue;
    }
    panelFrom(room);
  }
  if (!alone.empty()) {
    PanelBuilder panel(static_cast<std::uint32_t>(layout.panels.size()), layout, taken,
                       overflowWidth);
    const int columns = std::max(1, static_cast<int>(std::ceil(std::sqrt(alone.size()))));
    for (std::size_t k = 0; k < alone.size(); ++k) {
      panel.place(alone[k], static_cast<int>(k) % columns, static_cast<int>(k) / columns, nullptr);
    }
    layout.panels.push_back(panel.finish());
    layout.panels.back().unconnected = true;
  }
  layout.index.reset(n);
  for (std::size_t room = 0; room < n; ++room) {
    const GridCell& cell = layout.cells[room];
    layout.index.put(cell.panel, cell.col, cell.row, static_cast<std::uint32_t>(room));
  }
  layout.work = taken.probes() + layout.index.probes();
  return layout;
}

}  // namespace rb
