#include "explorer/room_map.h"

namespace rb {

std::optional<std::size_t> RoomMap::indexOf(long long roomNumber, int lowest) {
  const long long index = roomNumber - lowest;  // both fit in int, so no overflow in 64 bits
  if (index < 0 || index >= kMapRooms) return std::nullopt;
  return static_cast<std::size_t>(index);
}

const MapRoom* RoomMap::find(long long roomNumber, int lowest) const {
  const auto index = indexOf(roomNumber, lowest);
  if (!index || !rooms_[*index].present) return nullptr;
  return &rooms_[*index];
}

}  // namespace rb
