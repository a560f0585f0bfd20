#include "terminal/console.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>

#include "base/char_class.h"
#include "base/utf8.h"
#include "base/write_all.h"
#include "terminal/keys.h"
#include "terminal/line_editor.h"
#include "terminal/number_scan.h"
#include "terminal/terminal_mode.h"

namespace rb {

namespace {

// How much input one read(2) asks for.
constexpr std::size_t kReadChunk = 64 * 1024;
// How long the rest of an escape sequence or of a UTF-8 character may take
// to arrive from a terminal after its first byte.
constexpr int kSequenceWaitMs = 100;
// Bytes a typed number's line may hold, as the terminal's own line mode.
constexpr std::size_t kNumberLineSize = 4096;
// Bytes kept past a line's limit: enough to see whether a UTF-8 character
// straddles the limit.
constexpr std::size_t kCutLookahead = 3;

// Waits until `fd` can be read (or written); false on an error.
bool waitFor(int fd, short events, int ms) {
  struct pollfd p = {fd, events, 0};
  int ready;
  do {
    ready = poll(&p, 1, ms);
  } while (ready < 0 && errno == EINTR && ms < 0);
  return ready > 0;
}

}  // namespace

Console::Console(int inFd, int outFd)
    : keys_([this](std::string& into) { return readInput(into); },
            [this](int ms) { return waitFor(inFd_, POLLIN, ms); }),
      edited_([this](std::string& into) { return editLine(into); }),
      inFd_(inFd),
      outFd_(outFd) {
  const TerminalPolicy policy = terminalPolicy(inFd, outFd);
  terminal_ = policy.keyboard;
  printsToTerminal_ = policy.screen;
  editing_ = policy.lineEditing;
  if (editing_) {
    editor_ = std::make_unique<LineEditor>(
        keys_, kSequenceWaitMs, [this](std::string_view text) { writeScreen(text); },
        [this] { return terminalWidth(outFd_); });
  }
}

Console::Console(std::string input) : keys_(std::move(input)) {}

Console::~Console() {
  flush();
}

void Console::flush() {
  if (outFd_ < 0) return;
  if (editing_) {
    // The line editor redraws the prompt: the text after the last line break.
    const std::size_t lineBreak = out_.rfind('\n');
    if (lineBreak != std::string::npos) {
      screenLine_.assign(out_, lineBreak + 1);
    } else {
      screenLine_ += out_;
    }
  }
  writeAll(outFd_, out_);
  out_.clear();  // keeps its capacity for the next output
}

void Console::printError(std::string_view text) {
  if (outFd_ < 0) {
    errors_.append(text);
    return;
  }
  flush();
  writeAll(STDERR_FILENO, text);
}

void Console::writeScreen(std::string_view text) {
  if (!out_.empty()) flush();
  // A screen that is gone cannot be told so.
  writeAll(outFd_, text);
}

bool Console::readInput(std::string& into) {
  if (beforeWait_) beforeWait_();
  // Whatever has been printed must be on the screen before the wait begins.
  flush();
  const std::size_t old = into.size();
  into.resize(old + kReadChunk);
  ssize_t got;
  for (;;) {
    // The line being edited is drawn again after a stop, however the stop
    // fell: during this wait, or just before it.
    if (TerminalMode::takeContinued() && editor_) editor_->redrawOnFreshRow();
    if (const int signal = DeferredInterrupts::pending()) {
      into.resize(old);
      throw Interrupted{signal};
    }
    // Waiting with the wake-up pipe too: an interrupt or a stop ends it.
    if ((editor_ || TerminalMode::continuedFd() >= 0) && !waitForKeyOrContinue()) continue;
    got = ::read(inFd_, into.data() + old, kReadChunk);
    if (got >= 0) break;
    if (errno == EINTR) continue;
    if (errno == EAGAIN && waitFor(inFd_, POLLIN, -1)) continue;
    break;
  }
  into.resize(old + (got > 0 ? static_cast<std::size_t>(got) : 0));
  return got > 0;
}

bool Console::waitForKeyOrContinue() {
  struct pollfd fds[2] = {{inFd_, POLLIN, 0}, {TerminalMode::continuedFd(), POLLIN, 0}};
  if (poll(fds, fds[1].fd >= 0 ? 2 : 1, -1) < 0) return false;
  return fds[0].revents != 0;
}

bool Console::editLine(std::string& into) {
  flush();
  TerminalMode keystrokes(inFd_, TerminalMode::Kind::Keystrokes);
  LineEditor::Request request;
  request.prompt = screenLine_;
  request.limit = limit_;
  request.secret = secret_;
  if (!secret_) request.history = &history_.lines(kind_);
  std::string line;
  const bool typed = editor_->edit(request, line);
  screenLine_.clear();
  if (!typed) {
    keys_.end();  // Ctrl-D on an empty line ends the input, as in line mode
    return false;
  }
  if (!secret_) history_.add(kind_, line);
  into.append(line);
  into.push_back('\n');
  return true;
}

ByteQueue& Console::lineInput(LineKind kind, std::size_t size, bool secret) {
  kind_ = kind;
  limit_ = size > 0 ? size - 1 : 0;
  secret_ = secret;
  return editing_ ? edited_ : keys_;
}

int Console::getch() {
  if (editing_ && !edited_.buffered().empty()) {
    // The rest of a line already typed comes first.
    const int c = edited_.peek();
    edited_.skip();
    return c;
  }
  // Keystroke mode while the terminal may still have to send the key, or the
  // rest of an escape sequence.
  std::optional<TerminalMode> keystroke;
  const std::string_view waiting = keys_.buffered();
  if (terminal_ && (waiting.empty() || waiting.front() == kEscape)) {
    flush();
    keystroke.emplace(inFd_, TerminalMode::Kind::Keystrokes);
  }
  const int key = readKey(keys_, terminal_ ? kSequenceWaitMs : -1);
  if (key < 0) throw EndOfInput{};
  return key;
}

std::string Console::readLine(std::size_t size, LineKind kind) {
  return readLineFrom(lineInput(kind, size), size);
}

std::string Console::readSecretLine(std::size_t size) {
  // Without the line editor: the terminal's own line mode without echo; the
  // Enter key is still echoed, so the next prompt starts on a new line.
  std::optional<TerminalMode> hidden;
  if (terminal_ && !editing_) {
    flush();
    hidden.emplace(inFd_, TerminalMode::Kind::HiddenLine);
  }
  return readLineFrom(lineInput(LineKind::Other, size, true), size);
}

std::string Console::readLineFrom(ByteQueue& in, std::size_t size) {
  if (in.peek() < 0) throw EndOfInput{};
  const std::size_t limit = size > 0 ? size - 1 : 0;
  const std::size_t keep = limit + kCutLookahead;
  std::string line;
  bool lineBreak = false;
  for (;;) {
    const std::string_view waiting = in.buffered();
    if (waiting.empty()) {
      if (!in.fill()) break;
      continue;
    }
    const std::size_t found = waiting.find('\n');
    const std::size_t length = found == std::string_view::npos ? waiting.size() : found;
    const std::size_t escape = waiting.substr(0, length).find(static_cast<char>(kEscape));
    const std::size_t plain = std::min(length, escape);
    if (line.size() < keep) line.append(waiting.data(), std::min(plain, keep - line.size()));
    in.skip(plain);
    if (escape < length) {
      readKey(in, -1);  // an escape sequence, or a lone ESC, is no text
      continue;
    }
    if (found != std::string_view::npos) {
      in.skip();
      lineBreak = true;
      break;
    }
  }
  if (line.size() > limit) {
    line.resize(cutAtCharacter(line, limit));
  } else if (lineBreak && !line.empty() && line.back() == '\r') {
    // A line ended by carriage return + line feed loses both.
    line.pop_back();
  }
  const std::size_t nul = line.find('\0');
  if (nul != std::string::npos) line.resize(nul);
  return line;
}

void Console::skipBlanks(ByteQueue& in) {
  for (;;) {
    const int c = in.peek();
    if (c < 0) throw EndOfInput{};
    if (!isSpace(c)) return;
    in.skip();
  }
}

void Console::readInt(int& value) {
  ByteQueue& in = lineInput(LineKind::Number, kNumberLineSize);
  skipBlanks(in);
  scanInt(in, value);
}

void Console::readFloat(float& value) {
  ByteQueue& in = lineInput(LineKind::Number, kNumberLineSize);
  skipBlanks(in);
  scanFloat(in, value);
}

}  // namespace rb
