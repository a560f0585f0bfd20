#include "format/area_reader.h"

#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "format/data_row.h"
#include "format/function_name.h"
#include "format/record_format.h"

namespace rb {

namespace {

// How much the first read(2) asks for: little (most files are small), then
// twice as much each time, up to the reader's largest read.
constexpr std::size_t kFirstRead = 16 * 1024;
// Far beyond any record a room file holds (the writer's longest is a few
// kilobytes): a record, or a line, that grows past this is too large to
// read. So is a file that never ends.
constexpr std::size_t kMaxHeldBytes = std::size_t{64} << 20;

}  // namespace

LineReader::LineReader(int fd, std::size_t largestRead)
    : fd_(fd), largestRead_(std::max(largestRead, kFirstRead)) {}

bool LineReader::fill() {
  if (ended_) return false;
  // Keep what is still needed at the front, and room after it.
  const std::size_t keep = holding_ ? held_ : pos_;
  if (keep > 0) {
    dropped_ += static_cast<long long>(keep);
    std::memmove(buffer_.get(), buffer_.get() + keep, end_ - keep);
    end_ -= keep;
    pos_ -= keep;
    held_ -= holding_ ? keep : 0;
    lastStart_ = lastStart_ >= keep ? lastStart_ - keep : 0;
  }
  if (end_ - (holding_ ? held_ : pos_) >= kMaxHeldBytes) throw AreaReadError{true, 0};
  readSize_ = readSize_ == 0 ? kFirstRead : std::min(readSize_ * 2, largestRead_);
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
  returnLine(pos_, break_, line);
  return true;
}

void LineReader::returnLine(std::size_t start, std::size_t end, std::string_view& line) {
  lastStart_ = start;
  line = std::string_view(buffer_.get() + start, end - start);
  pos_ = end;
  ++lineNumber_;
  if (line.find('\r') != std::string_view::npos) sawReturn_ = true;
  if (!line.empty() && line.back() == '\n') {
    const bool crLf = line.size() >= 2 && line[line.size() - 2] == '\r';
    if (crLf && !sawCrLf_) {
      sawCrLf_ = true;
      firstCrLf_ = lineNumber_;
    }
    if (!crLf) sawLf_ = true;
  }
}

namespace {

// The line breaks in [begin, end): 16 bytes at a time where the processor
// has SSE2 (every x86-64 one), a byte at a time elsewhere. Every byte of a
// room file's records goes through here.
long long countLineBreaks(const char* begin, const char* end) {
  long long count = 0;
#if defined(__SSE2__)
  const __m128i newline = _mm_set1_epi8('\n');
  while (end - begin >= 16) {
    // Up to 255 blocks summed in bytes (each match adds 1), then added up.
    __m128i sums = _mm_setzero_si128();
    for (int block = 0; block < 255 && end - begin >= 16; ++block, begin += 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(begin));
      sums = _mm_sub_epi8(sums, _mm_cmpeq_epi8(bytes, newline));
    }
    const __m128i total = _mm_sad_epu8(sums, _mm_setzero_si128());
    count += _mm_cvtsi128_si64(total) + _mm_cvtsi128_si64(_mm_unpackhi_epi64(total, total));
  }
#endif
  for (; begin < end; ++begin)
    count += *begin == '\n' ? 1 : 0;
  return count;
}

}  // namespace

void LineReader::passLines(std::size_t to) {
  const char* begin = buffer_.get() + pos_;
  const std::string_view passed(begin, to - pos_);
  const long long breaks = countLineBreaks(begin, begin + passed.size());
  if (passed.find('\r') != std::string_view::npos) {
    sawReturn_ = true;
    if (!sawCrLf_) {
      const std::size_t crlf = passed.find("\r\n");
      if (crlf != std::string_view::npos) {
        sawCrLf_ = true;
        firstCrLf_ = lineNumber_ + 1 + countLineBreaks(begin, begin + crlf);
      }
    }
    // Some line breaks may lack their carriage return: count those that
    // have one (a file with CR LF line ends is rare, so this is seldom run).
    if (!sawLf_) {
      long long crLfs = 0;
      for (std::size_t at = passed.find("\r\n"); at != std::string_view::npos;
           at = passed.find("\r\n", at + 2))
        ++crLfs;
      if (crLfs < breaks) sawLf_ = true;
    }
  } else if (breaks > 0) {
    sawLf_ = true;
  }
  lineNumber_ += breaks;
  pos_ = to;
}

bool LineReader::nextHeader(std::string_view& line) {
  const std::string_view tail = kHeaderTail;
  for (;;) {
    std::size_t from = pos_;
    bool needMore = false;
    while (!needMore) {
      // (Nothing is read before the first fill: no buffer to search.)
      const void* hit = end_ > from
                            ? memmem(buffer_.get() + from, end_ - from, tail.data(), tail.size())
                            : nullptr;
      if (!hit) break;
      const std::size_t at =
          static_cast<std::size_t>(static_cast<const char*>(hit) - buffer_.get());
      // The start of the line the tail ends, and that line's end.
      const void* before = at > pos_ ? memrchr(buffer_.get() + pos_, '\n', at - pos_) : nullptr;
      const std::size_t start =
          before ? static_cast<std::size_t>(static_cast<const char*>(before) - buffer_.get()) + 1
                 : pos_;
      std::size_t end = at + tail.size();
      if (end < end_ && buffer_[end] == '\r') ++end;
      if (end < end_ && buffer_[end] == '\n') {
        ++end;
      } else if (end == end_ && !ended_) {
        // The line may go on in what is not read yet.
        passLines(start);
        needMore = true;
        break;
      }
      const std::string_view candidate(buffer_.get() + start, end - start);
      if ((end == end_ || candidate.back() == '\n') && headerFunctionName(candidate)) {
        passLines(start);
        returnLine(start, end, line);
        return true;
      }
      from = at + tail.size();
    }
    if (!needMore) {
      // No header among the lines read: pass over the whole ones.
      const void* last = end_ > pos_ ? memrchr(buffer_.get() + pos_, '\n', end_ - pos_) : nullptr;
      if (last)
        passLines(static_cast<std::size_t>(static_cast<const char*>(last) - buffer_.get()) + 1);
    }
    if (!fill()) {
      // The last line, without a line break, holds no header.
      if (pos_ < end_) {
        passLines(end_);
        ++lineNumber_;
      }
      return false;
    }
  }
}

void LineReader::holdFromLast() {
  holding_ = true;
  held_ = lastStart_;
  sawReturn_ = std::string_view(buffer_.get() + lastStart_, pos_ - lastStart_).find('\r') !=
               std::string_view::npos;
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
      record = RecordText{true, line, lines_.lineNumber(), {}, line.find('\r') != line.npos};
      return true;
    }
    startAtLastLine();
  }
  record.prologue = false;
  record.line = pendingLine_;
  record.offset = lines_.heldOffset();
  if (lines_.nextHeader(line)) {
    record.text = lines_.heldBeforeLast();
    record.carriageReturn = lines_.heldReturn();
    pendingLine_ = lines_.lineNumber();
    lines_.holdFromLast();
  } else {
    record.text = lines_.heldAll();
    record.carriageReturn = lines_.heldReturn();
    ended_ = true;
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
