// The rooms of an area (or a world) and the exits between them, as numbers:
// what the explorer's statistics, `roombuilder check`, `link` and the map
// all look at. Compact, for worlds of millions of rooms: a room is its
// number and its twelve exits; an index finds a number's rooms.
//
// Exits lead to room numbers. The room an exit leads to is the first room
// with its number; a number is reached when any exit leads to it.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "format/exit_slot.h"

namespace rb {

class AreaGraph {
 public:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  // Whether the exits of the rooms are kept (before any room is added):
  // without them, a graph is the rooms' numbers and every exit is kNoExit.
  void keepExits(bool keep) { keepExits_ = keep; }
  // Adds a room after those already added; its index is their count.
  void add(int number, const Exits& exits);
  // Builds the index of numbers, once all rooms are added. The questions
  // below build it when it is not built yet.
  void finish() const;

  std::size_t size() const { return numbers_.size(); }
  int number(std::size_t room) const { return numbers_[room]; }
  // The destination of `room`'s exit in `slot` (1..12), or kNoExit.
  int exit(std::size_t room, int slot) const {
    if (!keepExits_) return kNoExit;
    const unsigned mask = exitMasks_[room];
    const unsigned bit = 1u << (slot - 1);
    if ((mask & bit) == 0) return kNoExit;
    return exitList_[exitStarts_[room] + static_cast<unsigned>(std::popcount(mask & (bit - 1)))];
  }

  // The first room with `number`, or kNone.
  std::size_t find(int number) const;
  int exitCount() const;
  // An exit to a room number that no room has.
  bool isMissing(int destination) const {
    return destination != kNoExit && find(destination) == kNone;
  }
  // An exit to another room whose exit the opposite way does not lead back
  // (room -1 is never led back to: an exit of -1 is no exit).
  bool isOneWay(std::size_t room, int slot) const;
  // Whether a path of exits reaches each room's number from `start`'s.
  std::vector<bool> reachedFrom(std::size_t start) const;

 private:
  // Where the first room of `number` is noted in index_.
  std::size_t slotOf(int number) const;

  bool keepExits_ = true;
  std::vector<int> numbers_;
  // The exits, only those a room has: most rooms have a few of twelve. By
  // room, which slots have one (bit slot - 1) and where its exits begin in
  // exitList_, slot by slot.
  std::vector<std::uint16_t> exitMasks_;
  std::vector<std::uint32_t> exitStarts_;
  std::vector<int> exitList_;
  // The first room of each number (+ 1; 0 for none). Where the numbers lie
  // close together, as they mostly do, by number - lowest_ (dense_);
  // otherwise open addressing on the number, the number kept in the slot.
  // Built on the first question that needs it.
  mutable bool indexed_ = false;
  mutable bool dense_ = false;
  mutable long long lowest_ = 0;
  mutable std::vector<std::uint32_t> index_;
  mutable std::vector<int> keys_;  // the number of each slot, when not dense
  mutable std::vector<std::uint32_t>
      nextSameNumber_;  // room -> next room with its number + 1, or 0
  mutable std::size_t mask_ = 0;
};

}  // namespace rb
