#include "world/name_table.h"

#include <functional>

namespace rb {

namespace {

// Function names end in their room number ("vosmerl_100"), and an area's
// rooms mostly have consecutive numbers. Such names are hashed in blocks of
// 32 numbers: a block lands where the hash of the name's text before the
// number and of the block puts it, its names one after another there. So a
// world's names go into the table with few cache misses, while blocks of
// other names still land apart.
std::uint32_t hashOf(std::string_view name) {
  constexpr std::uint32_t kBlock = 32;
  std::size_t digits = name.size();
  while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9' &&
         name.size() - digits < 9) {
    --digits;
  }
  std::uint32_t number = 0;
  for (std::size_t i = digits; i < name.size(); ++i)
    number = number * 10 + static_cast<std::uint32_t>(name[i] - '0');
  const std::size_t text = std::hash<std::string_view>()(name.substr(0, digits));
  const std::size_t block =
      std::hash<std::size_t>()(text ^ (number / kBlock) * 0x9E3779B97F4A7C15ull);
  return static_cast<std::uint32_t>(block * 0x9E3779B1u) * kBlock + number % kBlock;
}

}  // namespace

std::string_view NameTable::name(Id id) const {
  const std::size_t start = starts_[id];
  const std::size_t end = id + 1 < starts_.size() ? starts_[id + 1] : text_.size();
  return std::string_view(text_).substr(start, end - start);
}

std::size_t NameTable::slotOf(std::string_view name, std::uint32_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t at = hash & mask;
  while (slots_[at].id != 0) {
    if (slots_[at].hash == hash && this->name(slots_[at].id - 1) == name) return at;
    at = (at + 1) & mask;
  }
  return at;
}

std::optional<NameTable::Id> NameTable::find(std::string_view name) const {
  if (slots_.empty()) return std::nullopt;
  const std::size_t at = slotOf(name, hashOf(name));
  if (slots_[at].id == 0) return std::nullopt;
  return slots_[at].id - 1;
}

void NameTable::grow() {
  std::vector<Slot> slots(slots_.empty() ? 1024 : slots_.size() * 2);
  const std::size_t mask = slots.size() - 1;
  for (const Slot& slot : slots_) {
    if (slot.id == 0) continue;
    std::size_t at = slot.hash & mask;
    while (slots[at].id != 0)
      at = (at + 1) & mask;
    slots[at] = slot;
  }
  slots_.swap(slots);
}

NameTable::Id NameTable::intern(std::string_view name) {
  // At most half full, so that probes stay short.
  if ((starts_.size() + 1) * 2 > slots_.size()) grow();
  const std::uint32_t hash = hashOf(name);
  const std::size_t at = slotOf(name, hash);
  if (slots_[at].id != 0) return slots_[at].id - 1;
  const Id id = static_cast<Id>(starts_.size());
  starts_.push_back(text_.size());
  text_.append(name);
  slots_[at] = Slot{id + 1, hash};
  return id;
}

}  // namespace rb
