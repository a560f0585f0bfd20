// The rooms of an area and the exits between them, as numbers: what the
// explorer's statistics, `roombuilder check` and the map all look at.
//
// Exits lead to room numbers. A room is the first one with its number when
// an exit is followed; a number is reached when any exit leads to it.
#pragma once

#include <array>
#include <cstddef>
#include <unordered_map>
#include <vector>

#include "builder/exit_slot.h"
#include "builder/room_model.h"

namespace rb {

struct GraphRoom {
  int number = 0;
  std::array<int, kExitCount> exits{};  // destination by slot - 1; kNoExit for none
};

// A room of the room builder as the graph sees it.
GraphRoom graphRoom(const WorkingRoom& room);

// One exit: of room `room` (an index), in slot `slot`, to `destination`.
struct ExitCase {
  std::size_t room;
  int slot;
  int destination;
};

class AreaGraph {
 public:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  explicit AreaGraph(std::vector<GraphRoom> rooms);

  const std::vector<GraphRoom>& rooms() const { return rooms_; }
  // The first room with `number`, or kNone.
  std::size_t find(int number) const;

  int exitCount() const;
  // Each list goes room by room, a room's exits in the order the walk shows
  // them (north, south, east, west, northeast, northwest, southwest,
  // southeast, in, out, up, down).
  // Exits to a number that no room has.
  std::vector<ExitCase> missingExits() const;
  // Exits to another room whose exit the opposite way does not lead back.
  std::vector<ExitCase> oneWayExits() const;
  // Rooms, in order, whose number no path of exits reaches from `start`'s.
  std::vector<std::size_t> unreachableFrom(std::size_t start) const;

 private:
  std::vector<GraphRoom> rooms_;
  std::unordered_map<int, std::size_t> first_;  // number -> first room with it
};

}  // namespace rb
