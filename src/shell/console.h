// The keyboard and the screen of the program: single keystrokes, bounded
// lines and numbers typed on a line, and buffered output.
//
// All dialogues read and print through one Console. A console either works
// on real descriptors (standard input and output) or is fed from a string,
// in which case everything printed is kept and can be read back by tests.
#pragma once

#include <cstddef>
#include <string>

#include "shell/text_append.h"

namespace rb {

// Thrown by a read that finds standard input ended with nothing left to read.
struct EndOfInput {};

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
  // A character already buffered is returned first.
  int getch();

  // One line of at most size - 1 characters. The rest of an over-long line
  // is discarded; lines typed ahead stay for the next reads. The line break
  // (and a carriage return directly before it) is removed, and the text ends
  // at a NUL byte as a C string would.
  std::string readLine(std::size_t size);

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

  bool isTerminal() const { return terminal_; }
  // Everything printed so far (string console only).
  const std::string& output() const { return out_; }

 private:
  // Output beyond this much goes to the screen without waiting for a read.
  static constexpr std::size_t kFlushThreshold = 64 * 1024;

  // The character `ahead` places past the next one, or -1 at end of input.
  int peek(std::size_t ahead = 0);
  // Makes more input available; false when input has ended.
  bool fill();
  void skipBlanks();
  // Takes an optional sign; true for a minus.
  bool readSign();

  std::string in_;
  std::size_t pos_ = 0;
  std::string out_;
  int inFd_ = -1;
  int outFd_ = -1;
  bool terminal_ = false;
  bool ended_ = false;
};

}  // namespace rb
