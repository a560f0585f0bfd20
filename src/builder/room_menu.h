// The room menu: one room edited key by key with the field editors, until
// the user saves it (key 0) or leaves without saving (key x). An area build
// runs it for each new room; a file transfer for each room that is changed.
#pragma once

#include "builder/room_model.h"
#include "shell/console.h"
#include "shell/settings.h"

namespace rb {

enum class RoomMenuEnd { Save, Leave };

// `area` supplies the region number the summary shows.
RoomMenuEnd roomMenu(Console& con, Settings& settings, WorkingRoom& room, const AreaDefaults& area);

}  // namespace rb
