// The rooms read back from a room file: up to 200, each stored at its room
// number minus the lowest room number the user gave.
#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "format/room_model.h"

namespace rb {

inline constexpr int kMapRooms = 200;

class RoomMap {
 public:
  // The index of `roomNumber` when the lowest room number is `lowest`, or
  // nothing when the map cannot hold it. Computed without overflow.
  static std::optional<std::size_t> indexOf(long long roomNumber, int lowest);

  // Whether a record for the room at `index` was read.
  bool present(std::size_t index) const { return present_[index]; }
  // The room at `index`, emptied and marked present: a record for it is
  // being read (a later record replaces an earlier one).
  WorkingRoom& store(std::size_t index);
  const WorkingRoom& operator[](std::size_t index) const { return rooms_[index]; }

  // The present room with `roomNumber`, or nullptr.
  const WorkingRoom* find(long long roomNumber, int lowest) const;

 private:
  std::array<bool, kMapRooms> present_{};
  std::array<WorkingRoom, kMapRooms> rooms_;
};

}  // namespace rb
