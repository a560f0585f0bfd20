#include "area/area_reader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "area/data_row.h"
#include "area/function_name.h"
#include "area/record_format.h"

namespace rb {

namespace {

// How much one read(2) asks for: little at first (most files are small),
// up to this much on a large one.
constexpr std::size_t kFirstRead = 16 * 1024;
constexpr std::size_t kLargestRead = 1 << 20;
// Far beyond any record a room file holds (the writer's longest is a few
// kilobytes): a record, or a line, that grows past this is too large to
// read. So is a file that never ends.
constexpr std::size_t kMaxHeldBytes = std::size_t{64} << 20;

}  // namespace

LineReader::LineReader(int fd) : fd_(fd) {}

bool LineReader::fill() {
  if (ended_) return false;
  // Keep what is still needed at the front, and room after it.
  const std::size_t keep = holding_ ? held_ : pos_;
  if (keep > 0) {
    std::memmove(buffer_.get(), buffer_.get() + keep, end_ - keep);
    end_ -= keep;
    pos_ -= keep;
    held_ -= holding_ ? keep : 0;
    lastStart_ = lastStart_ >= keep ? lastStart_ - keep : 0;
  }
  if (end_ - (holding_ ? held_ : pos_) >= kMaxHeldBytes) throw AreaReadError{true, 0};
  readSize_ = readSize_ == 0 ? kFirstRead : std::min(readSize_ * 2, kLargestRead);
  if (capacity_ - end_ < readSize_) {
    // Not zero-filled: only what read(2) fills is ever looked at.
    const std::size_t capacity = std::max(capacity_ * 2, end_ + readSize_);
    std::unique_ptr<char[]> grown(new char[capacity]);
    if (end_ > 0) std::memcpy(grown.get(), buffer_.get(), end_);
    buffer_ = std::move(grown);
    capacity_ = capacity;
  }
  for (;;) {
    const ssize_t got = ::read(fd_, buffer_.get() + end_, readSize_);
    if (got > 0) {
      end_ += static_cast<std::size_t>(got);
      return true;
    }
    if (got == 0) {
      ended_ = true;
      return false;
    }
    if (errno == EINTR) continue;
    throw AreaReadError{false, errno};
  }
}

bool LineReader::next(std::string_view& line) {
  std::size_t searched = pos_;
  for (;;) {
    const void* found =
        end_ > searched ? std::memchr(buffer_.get() + searched, '\n', end_ - searched) : nullptr;
    if (found) {
      const std::size_t stop =
          static_cast<std::size_t>(static_cast<const char*>(found) - buffer_.get()) + 1;
      break_ = stop;
      break;
    }
    const std::size_t before = pos_;
    searched = end_;
    if (!fill()) {
      if (pos_ == end_) return false;
      break_ = end_;  // the last line, without a line break
      break;
    }
    searched -= before - pos_;  // the buffer may have moved
  }
  lastStart_ = pos_;
  line = std::string_view(buffer_.get() + pos_, break_ - pos_);
  pos_ = break_;
  ++lineNumber_;
  if (line.size() >= 2 && line[line.size() - 2] == '\r' && line.back() == '\n' && !sawCrLf_) {
    sawCrLf_ = true;
    firstCrLf_ = lineNumber_;
  }
  return true;
}

void LineReader::holdFromLast() {
  holding_ = true;
  held_ = lastStart_;
}

std::string_view LineReader::heldBeforeLast() const {
  return std::string_view(buffer_.get() + held_, lastStart_ - held_);
}

std::string_view LineReader::heldAll() const {
  return std::string_view(buffer_.get() + held_, pos_ - held_);
}

void RecordReader::startAtLastLine() {
  havePending_ = true;
  pendingLine_ = lines_.lineNumber();
  lines_.holdFromLast();
}

bool RecordReader::next(RecordText& record) {
  if (ended_) return false;
  std::string_view line;
  if (!havePending_) {
    if (!lines_.next(line)) {
      ended_ = true;
      return false;
    }
    if (!headerFunctionName(line)) {
      // Before the first record: a line of the prologue.
      record = RecordText{true, line, lines_.lineNumber(), {}};
      return true;
    }
    startAtLastLine();
  }
  record.prologue = false;
  record.line = pendingLine_;
  for (;;) {
    if (!lines_.next(line)) {
      record.text = lines_.heldAll();
      ended_ = true;
      break;
    }
    if (headerFunctionName(line)) {
      record.text = lines_.heldBeforeLast();
      pendingLine_ = lines_.lineNumber();
      lines_.holdFromLast();
      break;
    }
  }
  const std::size_t firstBreak = record.text.find('\n');
  record.function = *headerFunctionName(record.text.substr(0, firstBreak));
  return true;
}

bool RowReader::next(RowText& row) {
  if (!lines_.next(row.text)) return false;
  row.line = lines_.lineNumber();
  row.function = rowFunctionName(row.text);
  return true;
}

bool FixedRecordReader::skip(int count) {
  std::string_view ignored;
  for (int i = 0; i < count; ++i) {
    if (!lines_.next(ignored)) return false;
  }
  return true;
}

bool FixedRecordReader::next(FixedRecordText& record) {
  record = FixedRecordText{};
  if (ended_) return false;
  std::string_view line;
  if (!lines_.next(line) || line.find('_') == std::string_view::npos) {
    ended_ = true;
    return false;
  }
  header_.assign(line);
  record.header = header_;
  // Record lines 2-4, the links line, lines 6-7, the look line.
  ended_ = !skip(3) || !lines_.next(line);
  if (ended_) return true;
  links_.assign(line);
  record.links = links_;
  ended_ = !skip(2) || !lines_.next(line);
  if (ended_) return true;
  look_.assign(line);
  record.look = look_;
  // Lines 9 and 10, then the command line, the event line or the brief line;
  // the explorer tells them apart by their sixth character.
  ended_ = !skip(2) || !lines_.next(line);
  const auto caseDigit = [&] {
    return line.size() > format::kCaseDigit ? line[format::kCaseDigit] : '\0';
  };
  if (!ended_ && caseDigit() == '2') ended_ = !lines_.next(line);
  if (!ended_ && caseDigit() == '3') ended_ = !lines_.next(line);
  // The closing line and the blank line.
  if (!ended_) ended_ = !skip(2);
  return true;
}

std::string_view withLfLineEnds(std::string_view text, std::string& scratch) {
  if (text.find('\r') == std::string_view::npos) return text;
  scratch.clear();
  for (std::size_t pos = 0; pos < text.size(); ++pos) {
    if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') continue;
    scratch.push_back(text[pos]);
  }
  return scratch;
}

}  // namespace rb
