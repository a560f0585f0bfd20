// The function names of a world, each numbered once, in the order first
// seen: a compact table for millions of names (the names one after another
// in one block of text, an open-addressing index of their numbers), so that
// records and rows can be matched and names counted by number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rb {

class NameTable {
 public:
  using Id = std::uint32_t;

  // The number of `name`, given it when it is new.
  Id intern(std::string_view name);
  std::optional<Id> find(std::string_view name) const;
  std::string_view name(Id id) const;
  std::size_t size() const { return starts_.size(); }

 private:
  void grow();
  std::size_t slotOf(std::string_view name, std::uint32_t hash) const;

  std::string text_;                   // every name, one after another
  std::vector<std::uint64_t> starts_;  // where each name starts in text_
  std::vector<std::uint32_t> hashes_;  // each name's hash
  std::vector<std::uint32_t> slots_;   // id + 1 by hash, 0 for a free slot
};

}  // namespace rb
