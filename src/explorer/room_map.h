// The rooms read back from a room file: up to 200, each stored at its room
// number minus the lowest room number the user gave.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "builder/exit_slot.h"

namespace rb {

inline constexpr int kMapRooms = 200;
inline constexpr std::size_t kMapShortNameMax = 49;
inline constexpr std::size_t kMapLineMax = 99;
inline constexpr int kMapDescriptionLines = 10;

struct MapRoom {
  MapRoom() { exits.fill(kNoExit); }

  bool present = false;  // a record for this room was read
  std::string shortName;
  std::array<std::string, kMapDescriptionLines> description;
  std::array<int, kExitCount> exits;  // destination room numbers in exit-slot order; -1 for none
};

class RoomMap {
 public:
  // The index of `roomNumber` when the lowest room number is `lowest`, or
  // nothing when the map cannot hold it. Computed without overflow.
  static std::optional<std::size_t> indexOf(long long roomNumber, int lowest);

  MapRoom& operator[](std::size_t index) { return rooms_[index]; }
  const MapRoom& operator[](std::size_t index) const { return rooms_[index]; }

  // The present room with `roomNumber`, or nullptr.
  const MapRoom* find(long long roomNumber, int lowest) const;

 private:
  std::array<MapRoom, kMapRooms> rooms_;
};

}  // namespace rb
