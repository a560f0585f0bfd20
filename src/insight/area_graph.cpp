#include "insight/area_graph.h"

#include <unordered_set>

namespace rb {

GraphRoom graphRoom(const WorkingRoom& room) {
  GraphRoom node;
  node.number = room.room;
  for (int slot = 1; slot <= kExitCount; ++slot)
    node.exits[static_cast<std::size_t>(slot - 1)] = room.exitd[static_cast<std::size_t>(slot)];
  return node;
}

AreaGraph::AreaGraph(std::vector<GraphRoom> rooms) : rooms_(std::move(rooms)) {
  first_.reserve(rooms_.size());
  for (std::size_t i = 0; i < rooms_.size(); ++i)
    first_.emplace(rooms_[i].number, i);
}

std::size_t AreaGraph::find(int number) const {
  const auto found = first_.find(number);
  return found == first_.end() ? kNone : found->second;
}

int AreaGraph::exitCount() const {
  int count = 0;
  for (const GraphRoom& room : rooms_) {
    for (const int exit : room.exits)
      count += exit != kNoExit ? 1 : 0;
  }
  return count;
}

std::vector<ExitCase> AreaGraph::missingExits() const {
  std::vector<ExitCase> cases;
  for (std::size_t i = 0; i < rooms_.size(); ++i) {
    for (const int slot : kShownOrder) {
      const int destination = rooms_[i].exits[static_cast<std::size_t>(slot - 1)];
      if (destination != kNoExit && find(destination) == kNone)
        cases.push_back({i, slot, destination});
    }
  }
  return cases;
}

std::vector<ExitCase> AreaGraph::oneWayExits() const {
  std::vector<ExitCase> cases;
  for (std::size_t i = 0; i < rooms_.size(); ++i) {
    const GraphRoom& room = rooms_[i];
    for (const int slot : kShownOrder) {
      const int destination = room.exits[static_cast<std::size_t>(slot - 1)];
      if (destination == kNoExit || destination == room.number) continue;
      const std::size_t other = find(destination);
      if (other == kNone) continue;
      const int back = rooms_[other].exits[static_cast<std::size_t>(exitSlot(slot).opposite - 1)];
      if (back != room.number) cases.push_back({i, slot, destination});
    }
  }
  return cases;
}

std::vector<std::size_t> AreaGraph::unreachableFrom(std::size_t start) const {
  // Numbers are what exits reach; every room with a reached number is
  // reached, and its exits are followed.
  std::unordered_map<int, std::vector<std::size_t>> byNumber;
  for (std::size_t i = 0; i < rooms_.size(); ++i)
    byNumber[rooms_[i].number].push_back(i);
  std::unordered_set<int> reached = {rooms_[start].number};
  std::vector<int> waiting = {rooms_[start].number};
  while (!waiting.empty()) {
    const int number = waiting.back();
    waiting.pop_back();
    for (const std::size_t i : byNumber[number]) {
      for (const int exit : rooms_[i].exits) {
        if (exit != kNoExit && byNumber.count(exit) != 0 && reached.insert(exit).second) {
          waiting.push_back(exit);
        }
      }
    }
  }
  std::vector<std::size_t> unreached;
  for (std::size_t i = 0; i < rooms_.size(); ++i) {
    if (reached.count(rooms_[i].number) == 0) unreached.push_back(i);
  }
  return unreached;
}

}  // namespace rb
