// The one place where the terminal's settings are changed.
//
// A TerminalMode turns local-mode flags (ICANON, ECHO) off for as long as it
// lives and then puts the saved settings back. While one is active, a fatal
// signal restores the saved settings before the program ends by that signal,
// so the user's shell never inherits a terminal without echo.
#pragma once

#include <termios.h>

namespace rb {

class TerminalMode {
 public:
  // Clears `clear` and sets `set` in the local modes of `fd`, applied with
  // TCSADRAIN. On a descriptor that is not a terminal nothing changes.
  TerminalMode(int fd, tcflag_t clear, tcflag_t set = 0);
  ~TerminalMode();
  TerminalMode(const TerminalMode&) = delete;
  TerminalMode& operator=(const TerminalMode&) = delete;

 private:
  int fd_;
  bool active_ = false;
  struct termios saved_ {};
};

// Installs the handlers for SIGINT, SIGTERM, SIGHUP and SIGQUIT (and an exit
// hook) that give the terminal back its saved settings. Called once by main.
void restoreTerminalOnSignals();

}  // namespace rb
