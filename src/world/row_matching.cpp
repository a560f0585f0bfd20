#include "world/row_matching.h"

namespace rb {

void RowMatching::finish(std::size_t names) {
  // The rows of each name in order, one name after another.
  std::vector<std::uint32_t> next(names + 1, 0);
  for (const NameTable::Id name : rowNames_)
    ++next[name + 1];
  for (std::size_t id = 0; id < names; ++id)
    next[id + 1] += next[id];
  std::vector<std::uint32_t> end(next.begin() + 1, next.end());
  std::vector<std::uint32_t> byName(rowNames_.size());
  {
    std::vector<std::uint32_t> fill(next.begin(), next.end() - 1);
    for (std::size_t row = 0; row < rowNames_.size(); ++row)
      byName[fill[rowNames_[row]]++] = static_cast<std::uint32_t>(row);
  }
  rowOf_.assign(recordNames_.size(), kNone);
  recordOf_.assign(rowNames_.size(), kNone);
  for (std::size_t record = 0; record < recordNames_.size(); ++record) {
    const NameTable::Id name = recordNames_[record];
    if (next[name] == end[name]) continue;
    const std::uint32_t row = byName[next[name]++];
    rowOf_[record] = static_cast<std::int32_t>(row);
    recordOf_[row] = static_cast<std::int32_t>(record);
  }
}

}  // namespace rb
