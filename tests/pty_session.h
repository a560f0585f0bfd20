// The real executable run on a pseudo-terminal, for tests of what only a
// terminal shows: keys acting without Enter, echo, line editing, and the
// terminal settings the program leaves behind.
//
// The program runs as the foreground job of the terminal's session, under
// a small stand-in for a job-control shell, so that Ctrl-Z really stops it.
#pragma once

#include <sys/types.h>
#include <termios.h>

#include <string>
#include <vector>

namespace rb::test {

// How long a step may take before the test gives up on it: generous, since
// under the sanitizers on a loaded machine the program starts and answers
// many times slower. A passing test never waits this long.
inline constexpr int kPtyWaitMs = 60000;

struct PtyOptions {
  std::string term = "xterm";  // the TERM the program sees
  unsigned short columns = 80;
  std::vector<std::string> args;
  // A command the program is run under (such as strace and its options),
  // found on the PATH; empty for none.
  std::vector<std::string> wrapper;
  bool ignoreHangup = false;  // started as nohup starts it
  bool timedReads = false;    // the terminal left with VMIN 0, VTIME 10
};

class PtySession {
 public:
  // Starts the program in `dir` with the terminal as its standard streams.
  explicit PtySession(const std::string& dir, const PtyOptions& options = PtyOptions());
  ~PtySession();
  PtySession(const PtySession&) = delete;
  PtySession& operator=(const PtySession&) = delete;

  void send(const std::string& keys);
  // Sends `keys` once the program waits for them: in keystroke mode (a key,
  // or a line for the line editor), or in the terminal's own line mode when
  // `lineMode` (a line where TERM is dumb).
  void type(const std::string& keys, bool lineMode = false);
  // Starts an area build of room 1 (region r, light, terrain 1) on `rooms`
  // and `data` and goes up to its room menu; returns what the screen showed.
  std::string startArea(const std::string& rooms = "r.c", const std::string& data = "r.dat",
                        bool lineMode = false);
  // Reads the program's output until `text` has appeared after everything
  // consumed by earlier calls; returns the output up to and including it, or
  // what came before the time ran out.
  std::string readUntil(const std::string& text, int timeoutMs = kPtyWaitMs);
  // Everything the program has written so far that no readUntil took.
  std::string drain(int quietMs = 200);
  // Waits until the terminal's local modes lack `flags` (the program is
  // reading a key) or have them again; false when the time runs out.
  bool waitForFlags(tcflag_t flags, bool set, int timeoutMs = kPtyWaitMs);
  tcflag_t localFlags() const;
  // Waits until the program is stopped (true) or running again (false).
  bool waitForStopped(bool stopped, int timeoutMs = kPtyWaitMs);
  // Waits for the program to end: its exit status, or 128 + signal number.
  int wait(int timeoutMs = kPtyWaitMs);
  // Whether the program is still running (or stopped) rather than ended.
  bool alive();
  pid_t pid() const { return program_; }

 private:
  int master_ = -1;
  int slave_ = -1;
  pid_t child_ = -1;    // the job-control stand-in
  pid_t program_ = -1;  // the program, its only job
  std::string pending_;
};

}  // namespace rb::test
