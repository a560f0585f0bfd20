#include "world/dig_grid.h"

#include <unordered_map>

#include "world/area_layout.h"

namespace rb {

std::size_t roomBeside(const StagedWorld& world, std::size_t id, int slot) {
  const std::size_t file = world.fileOf(id);
  const WorldFile& area = world.world().files()[file];
  // The rooms of the file, in file order, the added ones last.
  std::vector<std::size_t> rooms;
  for (std::size_t record = area.firstRecord; record < area.endRecord; ++record) {
    if (world.exists(record)) rooms.push_back(record);
  }
  for (const std::size_t added : world.addedRooms()) {
    if (world.fileOf(added) == file) rooms.push_back(added);
  }
  std::unordered_map<int, std::uint32_t> byNumber;
  std::size_t start = rooms.size();
  for (std::size_t k = 0; k < rooms.size(); ++k) {
    byNumber.emplace(world.number(rooms[k]), static_cast<std::uint32_t>(k));
    if (rooms[k] == id) start = k;
  }
  if (start == rooms.size()) return StagedWorld::kNone;
  // The compass links, both ways, and the rooms within reach of the start.
  std::vector<std::vector<std::uint32_t>> links(rooms.size());
  for (std::size_t k = 0; k < rooms.size(); ++k) {
    for (int s = 1; s <= kExitCount; ++s) {
      if (!exitSlot(s).onGrid()) continue;
      const int destination = world.exit(rooms[k], s);
      if (destination == kNoExit) continue;
      const auto found = byNumber.find(destination);
      if (found == byNumber.end() || found->second == k) continue;
      links[k].push_back(found->second);
      links[found->second].push_back(static_cast<std::uint32_t>(k));
    }
  }
  std::vector<int> steps(rooms.size(), -1);
  std::vector<std::uint32_t> queue = {static_cast<std::uint32_t>(start)};
  steps[start] = 0;
  for (std::size_t next = 0; next < queue.size(); ++next) {
    const std::uint32_t at = queue[next];
    if (steps[at] == kDigGridSteps) continue;
    for (const std::uint32_t other : links[at]) {
      if (steps[other] >= 0) continue;
      steps[other] = steps[at] + 1;
      queue.push_back(other);
    }
  }
  // Those rooms, in file order, laid out from the start.
  AreaGraph graph;
  std::vector<std::size_t> local;
  std::size_t localStart = 0;
  for (std::size_t k = 0; k < rooms.size(); ++k) {
    if (steps[k] < 0) continue;
    if (k == start) localStart = local.size();
    Exits exits;
    for (int s = 1; s <= kExitCount; ++s)
      exits[static_cast<std::size_t>(s)] = world.exit(rooms[k], s);
    graph.add(world.number(rooms[k]), exits);
    local.push_back(rooms[k]);
  }
  graph.finish();
  const AreaLayout layout = layOut(graph, 0, graph.size(), localStart);
  const GridCell& cell = layout.cell(localStart);
  const ExitSlot& step = exitSlot(slot);
  const std::uint32_t there =
      layout.index.at(cell.panel, cell.col + step.gridCol, cell.row + step.gridRow);
  return there == CellIndex::kNoRoom ? StagedWorld::kNone : local[there];
}

}  // namespace rb
