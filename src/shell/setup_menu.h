// The setup menu (main-menu key s): toggles room-menu suppression.
#pragma once

#include "shell/console.h"
#include "shell/settings.h"

namespace rb {

void options(Console& con, Settings& settings);

}  // namespace rb
