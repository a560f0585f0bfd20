// The room menu: one room edited key by key with the field editors, until
// the user saves it (key 0) or leaves without saving (key x). An area build
// runs it for each new room; a file transfer for each room that is changed.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "dialogues/settings.h"
#include "format/room_model.h"
#include "terminal/console.h"

namespace rb {

enum class RoomMenuEnd { Save, Leave };

// Whether the room file being written already has a function of the name
// that region `region` and room number `room` form.
using NameTaken = std::function<bool(std::string_view region, int room)>;

// `area` supplies the region number the summary shows. Key 0 does not save
// a room whose function name `taken` says is taken: it says so, and the
// menu is shown again.
RoomMenuEnd roomMenu(Console& con, Settings& settings, WorkingRoom& room, const AreaDefaults& area,
                     const NameTaken& taken);

}  // namespace rb
