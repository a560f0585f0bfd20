#include "shell/console.h"

#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cfloat>
#include <cstdlib>
#include <cstring>

#include "shell/number_text.h"
#include "shell/terminal_mode.h"

namespace rb {

namespace {

// How much input one read(2) asks for.
constexpr std::size_t kReadChunk = 64 * 1024;
// Significant digits kept of a typed real; more cannot change a float.
constexpr std::size_t kMaxFloatDigits = 40;
// Bound on a typed exponent; far beyond what a float can hold either way.
constexpr long kMaxExponent = 100000;

bool isDigit(int c) {
  return c >= '0' && c <= '9';
}

// The white space that the formatted reader skips before a number.
bool isBlank(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

Console::Console(int inFd, int outFd) : inFd_(inFd), outFd_(outFd), terminal_(isatty(inFd) == 1) {}

Console::Console(std::string input) : in_(std::move(input)) {}

Console::~Console() {
  flush();
}

void Console::flush() {
  if (outFd_ < 0) return;
  const char* data = out_.data();
  std::size_t left = out_.size();
  while (left > 0) {
    ssize_t written = ::write(outFd_, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      break;  // the screen is gone; there is nobody to tell
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  out_.clear();
}

bool Console::fill() {
  if (ended_ || inFd_ < 0) return false;
  // Whatever has been printed must be on the screen before the wait begins.
  flush();
  if (pos_ == in_.size()) {
    in_.clear();
    pos_ = 0;
  } else if (pos_ > 0) {
    in_.erase(0, pos_);
    pos_ = 0;
  }
  const std::size_t old = in_.size();
  in_.resize(old + kReadChunk);
  ssize_t got;
  do {
    got = ::read(inFd_, in_.data() + old, kReadChunk);
  } while (got < 0 && errno == EINTR);
  in_.resize(old + (got > 0 ? static_cast<std::size_t>(got) : 0));
  if (got <= 0) {
    ended_ = true;
    return false;
  }
  return true;
}

int Console::peek(std::size_t ahead) {
  while (in_.size() - pos_ <= ahead) {
    if (!fill()) return -1;
  }
  return static_cast<unsigned char>(in_[pos_ + ahead]);
}

int Console::getch() {
  if (terminal_ && pos_ == in_.size()) {
    flush();
    TerminalMode keystroke(inFd_, ICANON | ECHO);
    fill();
  }
  const int c = peek();
  if (c < 0) throw EndOfInput{};
  ++pos_;
  return c;
}

std::string Console::readSecretLine(std::size_t size) {
  if (!terminal_) return readLine(size);
  flush();
  // The Enter key is still echoed, so the next prompt starts on a new line.
  TerminalMode hidden(inFd_, ECHO, ECHONL);
  return readLine(size);
}

std::string Console::readLine(std::size_t size) {
  if (peek() < 0) throw EndOfInput{};
  const std::size_t limit = size > 0 ? size - 1 : 0;
  std::string line;
  bool cut = false;
  bool lineBreak = false;
  while (pos_ < in_.size() || fill()) {
    const char* start = in_.data() + pos_;
    const std::size_t available = in_.size() - pos_;
    const void* found = std::memchr(start, '\n', available);
    const std::size_t length =
        found ? static_cast<std::size_t>(static_cast<const char*>(found) - start) : available;
    const std::size_t room = limit - line.size();
    if (length > room) cut = true;
    line.append(start, length > room ? room : length);
    pos_ += length;
    if (found) {
      ++pos_;
      lineBreak = true;
      break;
    }
  }
  // A line ended by carriage return + line feed loses both.
  if (lineBreak && !cut && !line.empty() && line.back() == '\r') line.pop_back();
  const std::size_t nul = line.find('\0');
  if (nul != std::string::npos) line.resize(nul);
  return line;
}

void Console::skipBlanks() {
  for (;;) {
    const int c = peek();
    if (c < 0) throw EndOfInput{};
    if (!isBlank(c)) return;
    ++pos_;
  }
}

bool Console::readSign() {
  const int c = peek();
  if (c != '+' && c != '-') return false;
  ++pos_;
  return c == '-';
}

void Console::readInt(int& value) {
  skipBlanks();
  IntDigits number(readSign());
  if (!isDigit(peek())) return;
  for (int c = peek(); isDigit(c); c = peek()) {
    ++pos_;
    number.add(static_cast<char>(c));
  }
  value = number.value();
}

void Console::readFloat(float& value) {
  skipBlanks();
  const bool negative = readSign();
  // The number is rebuilt as significant digits and a power of ten, so that
  // a very long typed number needs no more than a few dozen bytes.
  std::string digits;
  long shift = 0;
  bool anyDigit = false;
  for (int c = peek(); isDigit(c); c = peek()) {
    ++pos_;
    anyDigit = true;
    if (digits.empty() && c == '0') continue;
    if (digits.size() < kMaxFloatDigits) {
      digits.push_back(static_cast<char>(c));
    } else if (shift < kMaxExponent) {
      ++shift;
    }
  }
  if (peek() == '.' && (anyDigit || isDigit(peek(1)))) {
    ++pos_;
    for (int c = peek(); isDigit(c); c = peek()) {
      ++pos_;
      anyDigit = true;
      if (digits.size() >= kMaxFloatDigits) continue;
      if (!(digits.empty() && c == '0')) digits.push_back(static_cast<char>(c));
      if (shift > -kMaxExponent) --shift;
    }
  }
  if (!anyDigit) return;
  const int e = peek();
  if (e == 'e' || e == 'E') {
    const int sign = peek(1);
    const bool signed_ = sign == '+' || sign == '-';
    if (isDigit(peek(signed_ ? 2 : 1))) {
      pos_ += signed_ ? 2 : 1;
      long exponent = 0;
      for (int c = peek(); isDigit(c); c = peek()) {
        ++pos_;
        if (exponent < kMaxExponent) exponent = exponent * 10 + (c - '0');
      }
      shift += sign == '-' ? -exponent : exponent;
    }
  }
  float result = 0.0f;
  if (!digits.empty()) {
    const std::string text = digits + "e" + std::to_string(shift);
    result = std::strtof(text.c_str(), nullptr);
    if (result > FLT_MAX) result = FLT_MAX;
  }
  value = negative ? -result : result;
}

}  // namespace rb
