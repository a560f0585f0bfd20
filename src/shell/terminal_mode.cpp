#include "shell/terminal_mode.h"

#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <initializer_list>

namespace rb {

namespace {

// What a signal handler needs to give the terminal back. Only one mode is
// active at a time: the program reads one keystroke or one line at a time.
volatile sig_atomic_t g_active = 0;
int g_fd = -1;
struct termios g_saved {};

void restoreSaved() {
  if (g_active) tcsetattr(g_fd, TCSANOW, &g_saved);
}

extern "C" void onFatalSignal(int sig) {
  restoreSaved();
  // End by the same signal, so the parent sees how the program ended. The
  // signal is blocked while its handler runs and is delivered on return.
  signal(sig, SIG_DFL);
  raise(sig);
}

extern "C" void onExit() {
  restoreSaved();
}

}  // namespace

TerminalMode::TerminalMode(int fd, tcflag_t clear, tcflag_t set) : fd_(fd) {
  if (tcgetattr(fd_, &saved_) != 0) return;
  struct termios changed = saved_;
  changed.c_lflag &= ~clear;
  changed.c_lflag |= set;
  g_saved = saved_;
  g_fd = fd_;
  g_active = 1;
  active_ = true;
  tcsetattr(fd_, TCSADRAIN, &changed);
}

TerminalMode::~TerminalMode() {
  if (!active_) return;
  tcsetattr(fd_, TCSADRAIN, &saved_);
  g_active = 0;
}

void restoreTerminalOnSignals() {
  struct sigaction action {};
  action.sa_handler = onFatalSignal;
  sigemptyset(&action.sa_mask);
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
    sigaction(sig, &action, nullptr);
  std::atexit(onExit);
}

}  // namespace rb
