// The keyboard and the screen of the program: single keystrokes, bounded
// lines and numbers typed on a line, and buffered output.
//
// All dialogues read and print through one Console. A console either works
// on real descriptors (standard input and output) or is fed from a string,
// in which case everything printed is kept and can be read back by tests.
//
// On a terminal, typed lines are edited in place by the line editor (unless
// TERM is "dumb" or standard output is not the terminal, where the
// terminal's own line mode is used as before). Everywhere else, lines are
// read as they come, with escape sequences left out of them.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "base/text_append.h"
#include "terminal/byte_queue.h"
#include "terminal/line_history.h"

namespace rb {

// Thrown by a read that finds standard input ended with nothing left to read.
struct EndOfInput {};

// Thrown by a wait for input when an interrupt came while they were
// deferred (terminal_mode.h): `signal` is the one that came.
struct Interrupted {
  int signal;
};

class LineEditor;

class Console {
 public:
  // Keyboard on descriptor `inFd`, screen on descriptor `outFd`.
  Console(int inFd, int outFd);
  // Keystrokes taken from `input`; output is collected for output().
  explicit Console(std::string input);
  ~Console();
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  // One keystroke: on a terminal it acts without Enter and is not echoed.
  // A byte already buffered is returned first. An escape sequence is one
  // key (see keys.h).
  int getch();

  // One line of at most size - 1 bytes, cut so that no UTF-8 character is
  // split. The rest of an over-long line is discarded; lines typed ahead
  // stay for the next reads. The line break (and a carriage return directly
  // before it) is removed, escape sequences are left out, and the text ends
  // at a NUL byte as a C string would. `kind` picks the history that the
  // line editor recalls with Up and Down.
  std::string readLine(std::size_t size, LineKind kind = LineKind::Other);

  // As readLine, but on a terminal the typed characters are not echoed.
  std::string readSecretLine(std::size_t size);

  // Formatted-reader number input: blanks and line breaks are skipped, then a
  // number is read. Text that is not a number leaves `value` as it was and
  // stays unread. Out-of-range numbers are clamped to the type's range.
  void readInt(int& value);
  void readFloat(float& value);

  // Appends text and integers to the output.
  template <class... Args>
  void print(const Args&... args) {
    appendText(out_, args...);
    if (out_.size() >= kFlushThreshold) flush();
  }

  // Writes buffered output to the screen (a no-op for a string console).
  void flush();

  // Writes a line of diagnostics to standard error at once (kept for
  // errors() by a string console).
  void printError(std::string_view text);
  const std::string& errors() const { return errors_; }

  // `task` runs whenever the console is about to wait for input (empty: no
  // task). It may throw; the read does not happen then.
  void setBeforeWait(std::function<void()> task) { beforeWait_ = std::move(task); }

  bool isTerminal() const { return terminal_; }
  // Whether what is printed goes to a terminal (not a pipe or a file).
  bool printsToTerminal() const { return printsToTerminal_; }
  // Everything printed so far (string console only).
  const std::string& output() const { return out_; }

 private:
  // Output beyond this much goes to the screen without waiting for a read.
  static constexpr std::size_t kFlushThreshold = 64 * 1024;

  // Where the next line comes from: the line editor's lines, or the input
  // as it comes. `kind`, `size` and `secret` tell the editor what to edit.
  ByteQueue& lineInput(LineKind kind, std::size_t size, bool secret = false);
  // Reads more of standard input into `into`; false when it has ended.
  bool readInput(std::string& into);
  // Waits until a key can be read (true) or the program went on after a
  // stop (false).
  bool waitForKeyOrContinue();
  // Runs the line editor for one line and queues it; false at end of input.
  bool editLine(std::string& into);
  std::string readLineFrom(ByteQueue& in, std::size_t size);
  void writeScreen(std::string_view text);
  void skipBlanks(ByteQueue& in);

  ByteQueue keys_;    // input as it comes: keystrokes, or lines from a pipe
  ByteQueue edited_;  // lines the line editor has finished (terminal only)
  std::string out_;
  std::string errors_;
  std::string screenLine_;  // printed after the last line break: the prompt
  int inFd_ = -1;
  int outFd_ = -1;
  bool terminal_ = false;
  bool editing_ = false;  // typed lines go through the line editor
  bool printsToTerminal_ = false;
  std::function<void()> beforeWait_;

  LineKind kind_ = LineKind::Other;
  std::size_t limit_ = 0;
  bool secret_ = false;
  LineHistory history_;
  std::unique_ptr<LineEditor> editor_;
};

}  // namespace rb
