#include "terminal/line_history.h"

namespace rb {

void LineHistory::add(LineKind kind, const std::string& line) {
  Lines& lines = lines_[static_cast<std::size_t>(kind)];
  if (line.empty() || (!lines.empty() && lines.back() == line)) return;
  lines.push_back(line);
  if (lines.size() > kMaxLines) lines.pop_front();
}

}  // namespace rb
