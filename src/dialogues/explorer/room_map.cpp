#include "dialogues/explorer/room_map.h"

namespace rb {

std::optional<std::size_t> RoomMap::indexOf(long long roomNumber, int lowest) {
  const long long index = roomNumber - lowest;  // both fit in int, so no overflow in 64 bits
  if (index < 0 || index >= kMapRooms) return std::nullopt;
  return static_cast<std::size_t>(index);
}

WorkingRoom& RoomMap::store(std::size_t index) {
  present_[index] = true;
  WorkingRoom& room = rooms_[index];
  room = WorkingRoom();
  room.exitd.fill(kNoExit);
  room.lines = kMaxTextLines - 1;
  return room;
}

const WorkingRoom* RoomMap::find(long long roomNumber, int lowest) const {
  const auto index = indexOf(roomNumber, lowest);
  if (!index || !present_[*index]) return nullptr;
  return &rooms_[*index];
}

}  // namespace rb
