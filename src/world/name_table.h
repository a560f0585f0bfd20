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

  // A slot of the index: a name's number + 1 (0 for a free slot) and its
  // hash, so that a probe past other names reads nothing but the slot.
  struct Slot {
    std::uint32_t id = 0;
    std::uint32_t hash = 0;
  };

  std::string text_;                   // every name, one after another
  std::vector<std::uint64_t> starts_;  // where each name starts in text_
  std::vector<Slot> slots_;
};

}  // namespace rb
