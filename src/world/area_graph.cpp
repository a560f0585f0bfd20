#include "world/area_graph.h"

#include <algorithm>

namespace rb {

namespace {

std::size_t spread(int number) {
  // A multiplicative hash: room numbers are often consecutive.
  return static_cast<std::size_t>(static_cast<std::uint32_t>(number) * 0x9E3779B1u);
}

}  // namespace

void AreaGraph::add(int number, const Exits& exits) {
  indexed_ = false;
  numbers_.push_back(number);
  if (!keepExits_) return;
  std::uint16_t mask = 0;
  exitStarts_.push_back(static_cast<std::uint32_t>(exitList_.size()));
  for (int slot = 1; slot <= kExitCount; ++slot) {
    const int destination = exits[static_cast<std::size_t>(slot)];
    if (destination == kNoExit) continue;
    mask = static_cast<std::uint16_t>(mask | (1u << (slot - 1)));
    exitList_.push_back(destination);
  }
  exitMasks_.push_back(mask);
}

void AreaGraph::finish() const {
  indexed_ = true;
  nextSameNumber_.assign(numbers_.size(), 0);
  if (numbers_.empty()) return;
  const auto [low, high] = std::minmax_element(numbers_.begin(), numbers_.end());
  const long long range = static_cast<long long>(*high) - *low + 1;
  dense_ = range <= static_cast<long long>(numbers_.size()) * 4 + 1024;
  if (dense_) {
    lowest_ = *low;
    index_.assign(static_cast<std::size_t>(range), 0);
  } else {
    std::size_t capacity = 16;
    while (capacity < numbers_.size() * 2)
      capacity *= 2;
    mask_ = capacity - 1;
    index_.assign(capacity, 0);
    keys_.assign(capacity, 0);
  }
  // From the last room to the first, so that each number's chain starts at
  // its first room and runs in file order.
  for (std::size_t room = numbers_.size(); room-- > 0;) {
    std::uint32_t& first = index_[slotOf(numbers_[room])];
    if (!dense_) keys_[static_cast<std::size_t>(&first - index_.data())] = numbers_[room];
    nextSameNumber_[room] = first;
    first = static_cast<std::uint32_t>(room + 1);
  }
}

std::size_t AreaGraph::slotOf(int number) const {
  if (dense_) return static_cast<std::size_t>(number - lowest_);
  std::size_t at = spread(number) & mask_;
  while (index_[at] != 0 && keys_[at] != number)
    at = (at + 1) & mask_;
  return at;
}

std::size_t AreaGraph::find(int number) const {
  if (!indexed_) finish();
  if (index_.empty()) return kNone;
  if (dense_ && (number < lowest_ || number - lowest_ >= static_cast<long long>(index_.size()))) {
    return kNone;
  }
  const std::uint32_t first = index_[slotOf(number)];
  return first == 0 ? kNone : first - 1;
}

int AreaGraph::exitCount() const {
  return static_cast<int>(exitList_.size());
}

bool AreaGraph::isOneWay(std::size_t room, int slot) const {
  const int destination = exit(room, slot);
  if (destination == kNoExit || destination == numbers_[room]) return false;
  const std::size_t other = find(destination);
  // The way back of room -1 is never there: -1 is no exit.
  const int back = other == kNone ? kNoExit : exit(other, exitSlot(slot).opposite);
  return other != kNone && (back == kNoExit || back != numbers_[room]);
}

std::vector<bool> AreaGraph::reachedFrom(std::size_t start) const {
  // Numbers are what exits reach; every room with a reached number is
  // reached, and its exits are followed.
  if (!indexed_) finish();
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
    if (!keepExits_) continue;
    const std::size_t begin = exitStarts_[room];
    const std::size_t end = begin + static_cast<std::size_t>(std::popcount(exitMasks_[room]));
    for (std::size_t k = begin; k < end; ++k) {
      const std::size_t first = find(exitList_[k]);
      if (first != kNone && !reached[first]) reach(first);
    }
  }
  return reached;
}

}  // namespace rb
