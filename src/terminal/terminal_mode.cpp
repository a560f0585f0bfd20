#include "terminal/terminal_mode.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace rb {

namespace {

// What the signal handlers need. The descriptor and both settings are
// written before g_active is raised and only read while it is raised; the
// handlers run on the program's only thread, so ordering the stores against
// the handler is all that is needed.
static_assert(std::atomic<int>::is_always_lock_free);
std::atomic<int> g_active{0};
int g_fd = -1;
struct termios g_saved {};
struct termios g_changed {};
volatile sig_atomic_t g_continued = 0;
// Written to when the program goes on after a stop, so that a wait for
// input that began before (or just after) the stop wakes up at once.
int g_continuedPipe[2] = {-1, -1};

// Every signal whose default action ends the program, but SIGKILL, which
// cannot be caught, and SIGXFSZ, which is ignored (a write past the file
// size limit fails instead).
constexpr int kEndingSignals[] = {SIGINT,  SIGTERM, SIGHUP,  SIGQUIT, SIGPIPE, SIGABRT,
                                  SIGALRM, SIGUSR1, SIGUSR2, SIGPROF, SIGXCPU, SIGVTALRM,
                                  SIGSEGV, SIGBUS,  SIGFPE,  SIGILL,  SIGTRAP, SIGSYS};

// Set while a DeferredInterrupts lives; the signal it kept.
volatile sig_atomic_t g_deferring = 0;
volatile sig_atomic_t g_deferred = 0;

void applySaved() {
  if (g_active.load() != 0) tcsetattr(g_fd, TCSANOW, &g_saved);
}

void wake() {
  if (g_continuedPipe[1] >= 0) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = write(g_continuedPipe[1], &byte, 1);
  }
}

extern "C" void onFatalSignal(int sig) {
  if (g_deferring != 0 && (sig == SIGINT || sig == SIGTERM || sig == SIGHUP)) {
    const int savedErrno = errno;
    if (g_deferred == 0) g_deferred = sig;
    wake();
    errno = savedErrno;
    return;
  }
  applySaved();
  // End by the same signal, so the parent sees how the program ended. The
  // signal is blocked while its handler runs and is delivered on return.
  signal(sig, SIG_DFL);
  raise(sig);
}

extern "C" void onStop(int sig) {
  const int savedErrno = errno;
  applySaved();
  // Stop as the default action would; SIGCONT sets the mode again.
  signal(sig, SIG_DFL);
  sigset_t unblock;
  sigemptyset(&unblock);
  sigaddset(&unblock, sig);
  sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
  raise(sig);
  // Going on again.
  struct sigaction action {};
  action.sa_handler = onStop;
  sigemptyset(&action.sa_mask);
  sigaction(sig, &action, nullptr);
  errno = savedErrno;
}

extern "C" void onContinue(int) {
  const int savedErrno = errno;
  if (g_active.load() != 0) {
    tcsetattr(g_fd, TCSANOW, &g_changed);
    g_continued = 1;
    wake();
  }
  errno = savedErrno;
}

// Installs `handler` for `sig` unless the signal was ignored at start. No
// SA_RESTART: a read waiting for a key returns, so the line can be redrawn.
void install(int sig, void (*handler)(int)) {
  struct sigaction old {};
  if (sigaction(sig, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) return;
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  sigaction(sig, &action, nullptr);
}

}  // namespace

TerminalPolicy terminalPolicy(int inFd, int outFd) {
  TerminalPolicy policy;
  policy.keyboard = isatty(inFd) == 1;
  policy.screen = isatty(outFd) == 1;
  const char* term = std::getenv("TERM");
  const bool dumb = term != nullptr && std::strcmp(term, "dumb") == 0;
  policy.lineEditing = policy.keyboard && policy.screen && !dumb;
  return policy;
}

int terminalWidth(int fd) {
  struct winsize size {};
  return ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
}

TerminalMode::TerminalMode(int fd, Kind kind) : fd_(fd) {
  if (tcgetattr(fd_, &saved_) != 0) return;
  struct termios changed = saved_;
  if (kind == Kind::Keystrokes) {
    changed.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    changed.c_cc[VMIN] = 1;
    changed.c_cc[VTIME] = 0;
  } else {
    changed.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    changed.c_lflag |= ECHONL;
  }
  g_fd = fd_;
  g_saved = saved_;
  g_changed = changed;
  g_active.store(1);
  active_ = true;
  tcsetattr(fd_, TCSADRAIN, &changed);
}

TerminalMode::~TerminalMode() {
  if (!active_) return;
  // Restored before the handlers stop looking: a signal in between only
  // restores the same settings again.
  tcsetattr(fd_, TCSADRAIN, &saved_);
  g_active.store(0);
}

bool TerminalMode::takeContinued() {
  if (g_continuedPipe[0] >= 0) {
    char drained[64];
    while (read(g_continuedPipe[0], drained, sizeof drained) > 0) {
    }
  }
  if (g_continued == 0) return false;
  g_continued = 0;
  return true;
}

int TerminalMode::continuedFd() {
  return g_continuedPipe[0];
}

void installTerminalSignalHandlers() {
  if (g_continuedPipe[0] < 0 && pipe2(g_continuedPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    g_continuedPipe[0] = g_continuedPipe[1] = -1;
  }
  for (int sig : kEndingSignals)
    install(sig, onFatalSignal);
  install(SIGTSTP, onStop);
  install(SIGCONT, onContinue);
}

DeferredInterrupts::DeferredInterrupts() {
  g_deferred = 0;
  g_deferring = 1;
}

DeferredInterrupts::~DeferredInterrupts() {
  g_deferring = 0;
  if (g_deferred != 0) endBySignal(g_deferred);
}

int DeferredInterrupts::pending() {
  return g_deferred;
}

void endBySignal(int sig) {
  g_deferring = 0;
  applySaved();
  signal(sig, SIG_DFL);
  sigset_t unblock;
  sigemptyset(&unblock);
  sigaddset(&unblock, sig);
  sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
  raise(sig);
  std::abort();  // not reached: the default action of the signal ends the program
}

}  // namespace rb
