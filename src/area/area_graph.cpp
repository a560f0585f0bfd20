#include "area/area_graph.h"

namespace rb {

namespace {

std::size_t spread(int number) {
  // A multiplicative hash: room numbers are often consecutive.
  return static_cast<std::size_t>(static_cast<std::uint32_t>(number) * 0x9E3779B1u);
}

}  // namespace

void AreaGraph::reserve(std::size_t rooms) {
  numbers_.reserve(rooms);
  exits_.reserve(rooms);
}

void AreaGraph::add(int number, const Exits& exits) {
  numbers_.push_back(number);
  std::array<int, kExitCount> compact;
  for (int slot = 1; slot <= kExitCount; ++slot)
    compact[static_cast<std::size_t>(slot - 1)] = exits[static_cast<std::size_t>(slot)];
  exits_.push_back(compact);
}

void AreaGraph::finish() {
  std::size_t capacity = 16;
  while (capacity < numbers_.size() * 2)
    capacity *= 2;
  mask_ = capacity - 1;
  index_.assign(capacity, 0);
  nextSameNumber_.assign(numbers_.size(), 0);
  // From the last room to the first, so that each number's chain starts at
  // its first room and runs in file order.
  for (std::size_t room = numbers_.size(); room-- > 0;) {
    std::size_t at = spread(numbers_[room]) & mask_;
    while (index_[at] != 0 && numbers_[index_[at] - 1] != numbers_[room])
      at = (at + 1) & mask_;
    nextSameNumber_[room] = index_[at];
    index_[at] = static_cast<std::uint32_t>(room + 1);
  }
}

std::size_t AreaGraph::find(int number) const {
  if (index_.empty()) return kNone;
  for (std::size_t at = spread(number) & mask_; index_[at] != 0; at = (at + 1) & mask_) {
    if (numbers_[index_[at] - 1] == number) return index_[at] - 1;
  }
  return kNone;
}

int AreaGraph::exitCount() const {
  int count = 0;
  for (const auto& exits : exits_) {
    for (const int exit : exits)
      count += exit != kNoExit ? 1 : 0;
  }
  return count;
}

bool AreaGraph::isOneWay(std::size_t room, int slot) const {
  const int destination = exit(room, slot);
  if (destination == kNoExit || destination == numbers_[room]) return false;
  const std::size_t other = find(destination);
  return other != kNone && exit(other, exitSlot(slot).opposite) != numbers_[room];
}

std::vector<bool> AreaGraph::reachedFrom(std::size_t start) const {
  // Numbers are what exits reach; every room with a reached number is
  // reached, and its exits are followed.
  std::vector<bool> reached(numbers_.size(), false);
  std::vector<std::uint32_t> waiting;
  const auto reach = [&](std::size_t first) {
    for (std::size_t room = first; room != kNone;
         room = nextSameNumber_[room] == 0 ? kNone : nextSameNumber_[room] - 1) {
      reached[room] = true;
      waiting.push_back(static_cast<std::uint32_t>(room));
    }
  };
  reach(find(numbers_[start]));
  while (!waiting.empty()) {
    const std::size_t room = waiting.back();
    waiting.pop_back();
    for (const int destination : exits_[room]) {
      if (destination == kNoExit) continue;
      const std::size_t first = find(destination);
      if (first != kNone && !reached[first]) reach(first);
    }
  }
  return reached;
}

}  // namespace rb
