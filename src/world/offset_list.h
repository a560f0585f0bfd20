// Byte offsets that never decrease, kept in four bytes each: the low 32 bits
// of each, and where the high part goes up. The offsets of records and rows,
// counted through a world's files one after another, are such a list; a
// world of a million rooms saves megabytes over eight bytes each.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace rb {

class OffsetList {
 public:
  // Adds an offset no smaller than the last one added.
  void push_back(std::uint64_t offset) {
    const auto high = static_cast<std::uint32_t>(offset >> 32);
    while (high_ < high) {
      raises_.push_back(static_cast<std::uint32_t>(low_.size()));
      ++high_;
    }
    low_.push_back(static_cast<std::uint32_t>(offset));
  }
  std::uint64_t operator[](std::size_t i) const {
    const auto high = static_cast<std::uint64_t>(
        std::upper_bound(raises_.begin(), raises_.end(), static_cast<std::uint32_t>(i)) -
        raises_.begin());
    return (high << 32) | low_[i];
  }
  std::size_t size() const { return low_.size(); }
  // Drops the offsets from `count` on.
  void truncate(std::size_t count) {
    low_.resize(count);
    while (!raises_.empty() && raises_.back() >= count)
      raises_.pop_back();
    high_ = static_cast<std::uint32_t>(raises_.size());
  }
  void reserve(std::size_t count) { low_.reserve(count); }

 private:
  std::vector<std::uint32_t> low_;
  // The index of the first offset of each higher part: the list's offsets
  // from raises_[k] on are at least (k + 1) << 32.
  std::vector<std::uint32_t> raises_;
  std::uint32_t high_ = 0;
};

}  // namespace rb
