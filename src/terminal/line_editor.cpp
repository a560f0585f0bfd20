#include "terminal/line_editor.h"

#include <algorithm>

#include "base/char_class.h"
#include "base/utf8.h"
#include "terminal/keys.h"

namespace rb {

namespace {

constexpr int ctrl(char letter) {
  return letter & 0x1F;
}
constexpr int kBackspace = 0x7F;
constexpr const char* kBell = "\a";

std::string csi(int count, char command) {
  return "\x1b[" + std::to_string(count) + command;
}

// The bytes a UTF-8 character that starts with `lead` should have.
std::size_t expectedLength(int lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 1;
}

}  // namespace

LineEditor::LineEditor(ByteQueue& keys, int waitMs, Write write, Width width)
    : keys_(keys), waitMs_(waitMs), write_(std::move(write)), width_(std::move(width)) {}

bool LineEditor::edit(const Request& request, std::string& line) {
  request_ = request;
  text_.clear();
  cursor_ = 0;
  refusing_ = false;
  unsent_.clear();
  historyIndex_ = request_.history ? request_.history->size() : 0;
  columns_ = std::max(width_(), 1);
  screen_ = advance({}, request_.prompt, columns_);
  active_ = true;
  for (;;) {
    const int key = readKey(keys_, waitMs_);
    if (key < 0 || (key == ctrl('D') && text_.empty())) {
      active_ = false;
      return false;
    }
    if (!handle(key)) break;
  }
  active_ = false;
  if (!request_.secret && cursor_ != text_.size()) moveTo(text_.size());
  write_("\n");
  line = text_;
  return true;
}

void LineEditor::redrawOnFreshRow() {
  if (!active_ || request_.secret) return;
  screen_ = {};
  render();
}

bool LineEditor::handle(int key) {
  const bool typed = (key >= 0x20 && key < 0x7F) || key == '\t' || (key >= 0x80 && key <= 0xFF);
  // A refused character refuses the rest of what is being typed or pasted,
  // until some other key: the line never holds a text that was not typed.
  if (!typed) refusing_ = false;
  if (typed && refusing_) {
    if (key >= 0x80) readCharacter(key);
    return true;
  }
  if (key == '\r' || key == '\n') {
    // A terminal that sends CR LF for Enter gives one Enter.
    if (key == '\r' && keys_.buffered().substr(0, 1) == "\n") keys_.skip();
    return false;
  }
  if (key == kBackspace || key == ctrl('H')) {
    if (cursor_ > 0) erase(previousStep(cursor_), cursor_);
    return true;
  }
  if ((key >= 0x20 && key < 0x7F) || key == '\t') {
    insert(std::string(1, static_cast<char>(key)));
    return true;
  }
  if (key >= 0x80 && key <= 0xFF) {
    insert(readCharacter(key));
    return true;
  }
  if (request_.secret) return true;
  switch (key) {
    case kKeyLeft:
    case ctrl('B'):
      if (cursor_ > 0) moveTo(previousStep(cursor_));
      break;
    case kKeyRight:
    case ctrl('F'):
      if (cursor_ < text_.size()) moveTo(nextStep(cursor_));
      break;
    case kKeyHome:
    case ctrl('A'):
      moveTo(0);
      break;
    case kKeyEnd:
    case ctrl('E'):
      moveTo(text_.size());
      break;
    case kKeyDelete:
    case ctrl('D'):
      if (cursor_ < text_.size()) erase(cursor_, nextStep(cursor_));
      break;
    case ctrl('U'):
      erase(0, cursor_);
      break;
    case ctrl('K'):
      erase(cursor_, text_.size());
      break;
    case ctrl('W'): {
      std::size_t start = cursor_;
      while (start > 0 && isSpace(text_[start - 1]))
        --start;
      while (start > 0 && !isSpace(text_[start - 1]))
        --start;
      erase(start, cursor_);
      break;
    }
    case kKeyUp:
    case ctrl('P'):
      if (historyIndex_ > 0) recall(historyIndex_ - 1);
      break;
    case kKeyDown:
    case ctrl('N'):
      if (request_.history && historyIndex_ < request_.history->size()) recall(historyIndex_ + 1);
      break;
    default:
      break;  // other keys and sequences do nothing
  }
  return true;
}

std::string LineEditor::readCharacter(int lead) {
  std::string character(1, static_cast<char>(lead));
  const std::size_t length = expectedLength(lead);
  for (std::size_t i = 1; i < length; ++i) {
    const int next = keys_.peekWithin(i - 1, waitMs_);
    if (next < 0) break;
    character.push_back(static_cast<char>(next));
  }
  // Bytes that do not complete a valid character stay keys of their own: the
  // lead byte alone is then a character (Latin-1 from an old terminal).
  if (character.size() == length && utf8Length(character, 0) == length) {
    keys_.skip(length - 1);
    return character;
  }
  return character.substr(0, 1);
}

void LineEditor::insert(const std::string& character) {
  if (text_.size() + character.size() > request_.limit) {
    write_(kBell);
    refusing_ = true;
    return;
  }
  const bool atEnd = cursor_ == text_.size();
  text_.insert(cursor_, character);
  cursor_ += character.size();
  if (request_.secret) return;
  if (atEnd && characterColumns(character, 0) > 0) {
    // What the terminal's own echo would show.
    write_(character);
    screen_ = advance(screen_, character, columns_);
  } else {
    render();
  }
}

void LineEditor::erase(std::size_t from, std::size_t to) {
  if (from >= to) return;
  text_.erase(from, to - from);
  cursor_ = from;
  if (!request_.secret) render();
}

void LineEditor::moveTo(std::size_t pos) {
  if (pos == cursor_) return;
  cursor_ = pos;
  render();
}

void LineEditor::recall(std::size_t index) {
  const LineHistory::Lines& lines = *request_.history;
  if (historyIndex_ == lines.size()) unsent_ = text_;
  historyIndex_ = index;
  const std::string& recalled = index == lines.size() ? unsent_ : lines[index];
  text_ = recalled.substr(0, cutAtCharacter(recalled, request_.limit));
  cursor_ = text_.size();
  render();
}

void LineEditor::render() {
  std::string out = "\r";
  if (screen_.row > 0) out += csi(screen_.row, 'A');
  out += "\x1b[J";
  out += request_.prompt;
  out += text_;
  columns_ = std::max(width_(), 1);
  const Cell end = advance({}, std::string(request_.prompt) + text_, columns_);
  screen_ = end;
  if (cursor_ < text_.size()) {
    // The cursor's cell lies before the end of the text, never below it.
    const Cell target = cellOf(advance({}, request_.prompt, columns_), text_, cursor_, columns_);
    if (end.row > target.row) out += csi(end.row - target.row, 'A');
    out += "\r";
    if (target.col > 0) out += csi(target.col, 'C');
    screen_ = target;
  }
  write_(out);
}

std::size_t LineEditor::previousStep(std::size_t pos) const {
  const auto back = [&](std::size_t at) {
    for (std::size_t length = 2; length <= 4 && length <= at; ++length) {
      if (utf8Length(text_, at - length) == length) return at - length;
    }
    return at - 1;
  };
  pos = back(pos);
  // A combining mark goes with the character it is drawn on.
  while (pos > 0 && characterColumns(text_, pos) == 0)
    pos = back(pos);
  return pos;
}

std::size_t LineEditor::nextStep(std::size_t pos) const {
  pos += characterLength(text_, pos);
  while (pos < text_.size() && characterColumns(text_, pos) == 0)
    pos += characterLength(text_, pos);
  return pos;
}

}  // namespace rb
