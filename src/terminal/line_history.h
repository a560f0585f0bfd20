// The lines typed at each kind of prompt in this run, for the line editor's
// Up and Down keys: file names are recalled at file-name prompts, numbers at
// number prompts, and so on.
#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <string>

namespace rb {

// What a typed line is for. Lines of one kind share a history.
enum class LineKind {
  Other,
  FileName,
  Number,  // numbers, room numbers and the explorer's answers
  RegionName,
  ShortName,
  TextLine,  // description and response lines
  Word,      // words of a room command
  EventText,
  Count,  // the number of kinds, not a kind
};

class LineHistory {
 public:
  static constexpr std::size_t kMaxLines = 100;
  using Lines = std::deque<std::string>;  // oldest first

  // Adds a typed line, unless it is empty or repeats the newest line; the
  // oldest line goes when there are more than kMaxLines.
  void add(LineKind kind, const std::string& line);
  const Lines& lines(LineKind kind) const { return lines_[static_cast<std::size_t>(kind)]; }

 private:
  std::array<Lines, static_cast<std::size_t>(LineKind::Count)> lines_;
};

}  // namespace rb
