// The one place where the terminal's settings are changed.
//
// A TerminalMode changes the local modes of the terminal for as long as it
// lives and then puts the saved settings back. While one is active:
// - a signal that ends the program (SIGINT, SIGTERM, SIGHUP, SIGQUIT,
//   SIGPIPE, SIGABRT, SIGALRM, SIGUSR1, SIGUSR2, SIGVTALRM, SIGPROF, SIGXCPU,
//   SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS) gives the terminal its
//   saved settings back before the program ends by that signal;
// - Ctrl-Z (SIGTSTP) gives them back before the program stops, and SIGCONT
//   sets the mode again when the program goes on.
// So the user's shell never inherits a terminal without echo.
#pragma once

#include <termios.h>

namespace rb {

// How the program meets the terminal it was started on: whether keys act at
// once, whether what it prints lands on a terminal, whether typed lines are
// edited in place (both, and TERM is not "dumb").
struct TerminalPolicy {
  bool keyboard = false;  // standard input is a terminal
  bool screen = false;    // standard output is a terminal
  bool lineEditing = false;
};
TerminalPolicy terminalPolicy(int inFd, int outFd);

// The width of the terminal on `fd` in columns; 80 when it cannot be told.
int terminalWidth(int fd);

class TerminalMode {
 public:
  enum class Kind {
    Keystrokes,  // one key at a time, not echoed: canonical mode and echo off
    HiddenLine,  // a line in the terminal's own line mode, shown as nothing
                 // but the Enter that ends it
  };

  // Switches `fd` to `kind`, applied with TCSADRAIN. For keystrokes a read
  // waits for one byte and no longer (VMIN 1, VTIME 0), whatever the
  // terminal was left with. On a descriptor that is not a terminal nothing
  // changes.
  TerminalMode(int fd, Kind kind);
  ~TerminalMode();
  TerminalMode(const TerminalMode&) = delete;
  TerminalMode& operator=(const TerminalMode&) = delete;

  // True once after the program was stopped and went on (SIGCONT) while a
  // mode was active: what was on the screen may have been overwritten.
  static bool takeContinued();
  // A descriptor that becomes readable when the program goes on after a
  // stop (until takeContinued), so a wait for input can wake for a redraw
  // however the stop fell; -1 without the signal handlers.
  static int continuedFd();

 private:
  int fd_;
  bool active_ = false;
  struct termios saved_ {};
};

// Installs the handlers described above, once, from main. A signal that is
// ignored when the program starts (nohup, a background job) stays ignored.
void installTerminalSignalHandlers();

// While one lives, SIGINT, SIGTERM and SIGHUP do not end the program at
// once: the signal is kept, and the console's next wait for input ends with
// Interrupted (console.h), so that what is being written can be made whole
// first; endBySignal then ends the program by the signal. (Without the
// handlers, as in tests run in-process, nothing changes.)
class DeferredInterrupts {
 public:
  DeferredInterrupts();
  ~DeferredInterrupts();
  DeferredInterrupts(const DeferredInterrupts&) = delete;
  DeferredInterrupts& operator=(const DeferredInterrupts&) = delete;
  // The signal kept, or 0.
  static int pending();
};

// Ends the program by `sig` as its default action would, the terminal's
// settings given back first.
[[noreturn]] void endBySignal(int sig);

}  // namespace rb
