// The real executable run on a pseudo-terminal, for tests of what only a
// terminal shows: keys acting without Enter, echo, and the terminal settings
// the program leaves behind.
#pragma once

#include <sys/types.h>
#include <termios.h>

#include <string>

namespace rb::test {

class PtySession {
 public:
  // Starts the program in `dir` with the terminal as its standard streams.
  explicit PtySession(const std::string& dir);
  ~PtySession();
  PtySession(const PtySession&) = delete;
  PtySession& operator=(const PtySession&) = delete;

  void send(const std::string& keys);
  // Reads the program's output until `text` has appeared after everything
  // consumed by earlier calls; returns the output up to and including it, or
  // what came before the time ran out.
  std::string readUntil(const std::string& text, int timeoutMs = 10000);
  // Waits until the terminal's local modes lack `flags` (the program is
  // reading a key) or have them again; false when the time runs out.
  bool waitForFlags(tcflag_t flags, bool set, int timeoutMs = 10000);
  tcflag_t localFlags() const;
  // Waits for the program to end: its exit status, or 128 + signal number.
  int wait(int timeoutMs = 10000);
  pid_t pid() const { return child_; }

 private:
  int master_ = -1;
  int slave_ = -1;
  pid_t child_ = -1;
  std::string pending_;
};

}  // namespace rb::test
