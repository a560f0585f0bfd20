// The program-wide settings that the menus change and the dialogues read.
#pragma once

namespace rb {

// Values of `menusup`.
inline constexpr int kMenuShown = 1;
inline constexpr int kMenuSuppressed = 0;
inline constexpr int kMenuShowOnce = 99;  // show the room menu once, then suppress it

struct Settings {
  int menusup = kMenuShown;  // room-menu display setting, kept for the whole run
  int append = 0;            // 1 while an area build appends to existing files
};

}  // namespace rb
