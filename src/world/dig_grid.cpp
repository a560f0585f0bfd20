#include "world/dig_grid.h"

#include <algorithm>

#include "world/area_layout.h"

namespace rb {

std::size_t roomBeside(const StagedWorld& world, std::size_t id, int slot) {
  const std::size_t file = world.fileOf(id);
  const WorldFile& area = world.world().files()[file];
  // The rooms of the file by a local index: its records, then the rooms
  // added to it.
  const std::size_t records = area.endRecord - area.firstRecord;
  std::vector<std::size_t> added;
  for (const std::size_t room : world.addedRooms()) {
    if (world.fileOf(room) == file) added.push_back(room);
  }
  const std::size_t n = records + added.size();
  const auto idOf = [&](std::size_t local) {
    return local < records ? area.firstRecord + local : added[local - records];
  };
  const auto localOf = [&](std::size_t room) -> std::size_t {
    if (room >= area.firstRecord && room < area.endRecord) return room - area.firstRecord;
    const auto found = std::find(added.begin(), added.end(), room);
    return found == added.end() ? StagedWorld::kNone
                                : records + static_cast<std::size_t>(found - added.begin());
  };
  // The room of the file a compass exit leads to, or kNone.
  const auto target = [&](std::size_t local, int s) -> std::size_t {
    const int destination = world.exit(idOf(local), s);
    if (destination == kNoExit) return StagedWorld::kNone;
    const std::size_t other = world.find(destination);
    if (other == StagedWorld::kNone) return other;
    const std::size_t there = localOf(other);
    return there == local ? StagedWorld::kNone : there;
  };
  const std::size_t start = localOf(id);
  if (start == StagedWorld::kNone) return StagedWorld::kNone;
  // The compass exits that lead into each room, as one list (the ways out
  // are read from the rooms themselves).
  std::vector<std::uint32_t> intoStart(n + 1, 0);
  const auto eachExit = [&](auto each) {
    for (std::size_t local = 0; local < n; ++local) {
      if (!world.exists(idOf(local))) continue;
      for (int s = 1; s <= kExitCount; ++s) {
        if (!exitSlot(s).onGrid()) continue;
        if (const std::size_t to = target(local, s); to != StagedWorld::kNone) each(local, to);
      }
    }
  };
  eachExit([&](std::size_t, std::size_t to) { ++intoStart[to + 1]; });
  for (std::size_t k = 0; k < n; ++k)
    intoStart[k + 1] += intoStart[k];
  std::vector<std::uint32_t> into(intoStart[n]);
  {
    std::vector<std::uint32_t> fill(intoStart.begin(), intoStart.end() - 1);
    eachExit([&](std::size_t from, std::size_t to) {
      into[fill[to]++] = static_cast<std::uint32_t>(from);
    });
  }
  // The rooms within reach of the start, both ways.
  std::vector<std::int8_t> steps(n, -1);
  std::vector<std::uint32_t> queue = {static_cast<std::uint32_t>(start)};
  steps[start] = 0;
  const auto reach = [&](std::uint32_t at, std::size_t other) {
    if (other == StagedWorld::kNone || steps[other] >= 0) return;
    steps[other] = static_cast<std::int8_t>(steps[at] + 1);
    queue.push_back(static_cast<std::uint32_t>(other));
  };
  for (std::size_t next = 0; next < queue.size(); ++next) {
    const std::uint32_t at = queue[next];
    if (steps[at] == kDigGridSteps) continue;
    for (int s = 1; s <= kExitCount; ++s) {
      if (exitSlot(s).onGrid()) reach(at, target(at, s));
    }
    for (std::uint32_t k = intoStart[at]; k < intoStart[at + 1]; ++k)
      reach(at, into[k]);
  }
  // Those rooms, in file order, laid out from the start.
  std::sort(queue.begin(), queue.end());
  AreaGraph graph;
  std::size_t localStart = 0;
  for (const std::uint32_t local : queue) {
    if (local == start) localStart = graph.size();
    Exits exits;
    for (int s = 1; s <= kExitCount; ++s)
      exits[static_cast<std::size_t>(s)] = world.exit(idOf(local), s);
    graph.add(world.number(idOf(local)), exits);
  }
  graph.finish();
  const AreaLayout layout = layOut(graph, 0, graph.size(), localStart);
  const GridCell& cell = layout.cell(localStart);
  const ExitSlot& step = exitSlot(slot);
  const std::uint32_t there =
      layout.index.at(cell.panel, cell.col + step.gridCol, cell.row + step.gridRow);
  return there == CellIndex::kNoRoom ? StagedWorld::kNone : idOf(queue[there]);
}

}  // namespace rb
