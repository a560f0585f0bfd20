// The setup menu (main-menu key s): toggles room-menu suppression.
#pragma once

#include "dialogues/settings.h"
#include "terminal/console.h"

namespace rb {

void options(Console& con, Settings& settings);

}  // namespace rb
