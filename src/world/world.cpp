#include "world/world.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "format/loose_record.h"
#include "format/room_record.h"

namespace rb {

namespace {

// The index of the file whose first item is the last at or before `item`.
std::size_t fileOf(const std::vector<std::pair<std::size_t, std::uint32_t>>& starts,
                   std::size_t item) {
  const auto after =
      std::upper_bound(starts.begin(), starts.end(), item,
                       [](std::size_t value, const std::pair<std::size_t, std::uint32_t>& start) {
                         return value < start.first;
                       });
  return after == starts.begin() ? 0 : std::prev(after)->second;
}

}  // namespace

std::size_t World::fileIndexOfRecord(std::size_t record) const {
  return fileOf(recordFiles_, record);
}

std::size_t World::fileIndexOfRow(std::size_t row) const {
  return fileOf(rowFiles_, row);
}

long long World::recordOffset(std::size_t record) const {
  return static_cast<long long>(recordOffsets_[record] - fileOfRecord(record).base);
}

long long World::recordLength(std::size_t record) const {
  const WorldFile& file = fileOfRecord(record);
  const std::uint64_t end = record + 1 < file.endRecord
                                ? recordOffsets_[record + 1]
                                : file.base + static_cast<std::uint64_t>(file.state.size);
  return static_cast<long long>(end - recordOffsets_[record]);
}

std::uint16_t World::outOfRangeExits(std::size_t record) const {
  auto found = std::lower_bound(outOfRange_.begin(), outOfRange_.end(), record,
                                [](const OutOfRange& a, std::size_t r) { return a.record < r; });
  std::uint16_t slots = 0;
  for (; found != outOfRange_.end() && found->record == record; ++found)
    slots = static_cast<std::uint16_t>(slots | (1u << found->slot));
  return slots;
}

std::string_view World::outOfRangeNumber(std::size_t record, int slot) const {
  for (auto found =
           std::lower_bound(outOfRange_.begin(), outOfRange_.end(), record,
                            [](const OutOfRange&a, std::size_t r) { return a.record < r; });
       found != outOfRange_.end() && found->record == record; ++found) {
    if (found->slot == slot) return found->number;
  }
  return {};
}

long long World::recordLineCount(std::size_t record) const {
  const WorldFile& file = fileOfRecord(record);
  const long long end = record + 1 < file.endRecord ? recordLines_[record + 1]
                                                    : static_cast<long long>(file.lines) + 1;
  return end - recordLines_[record];
}

long long World::rowOffset(std::size_t row) const {
  return static_cast<long long>(rowOffsets_[row] - fileOfRow(row).base);
}

bool World::hasDataFile() const {
  return !rowFiles_.empty() ||
         std::any_of(files_.begin(), files_.end(), [](const WorldFile& f) { return !f.rooms; });
}

std::size_t World::rowOf(std::size_t record) const {
  if (!reading_.names) return kNone;
  const std::int32_t row = matching_.rowOf(record);
  return row == RowMatching::kNone ? kNone : static_cast<std::size_t>(row);
}

void World::indexNames() const {
  namesIndexed_ = true;
  firstRecordOfName_.assign(names_.size(), 0);
  for (std::size_t record = matching_.records(); record-- > 0;)
    firstRecordOfName_[matching_.recordName(record)] = static_cast<std::uint32_t>(record + 1);
  firstRowOfName_.assign(names_.size(), 0);
  for (std::size_t row = matching_.rows(); row-- > 0;)
    firstRowOfName_[matching_.rowName(row)] = static_cast<std::uint32_t>(row + 1);
}

std::size_t World::earlierNamed(std::size_t record) const {
  if (!namesIndexed_) indexNames();
  const std::size_t first = firstRecordOfName_[matching_.recordName(record)] - 1;
  return first < record ? first : kNone;
}

std::size_t World::earlierNumbered(std::size_t record) const {
  const std::size_t first = graph_.find(graph_.number(record));
  return first < record ? first : kNone;
}

std::size_t World::earlierRow(std::size_t row) const {
  if (!namesIndexed_) indexNames();
  const std::size_t first = firstRowOfName_[matching_.rowName(row)] - 1;
  return first < row ? first : kNone;
}

std::string World::bytesAt(std::size_t index, long long offset, long long length) const {
  std::string bytes;
  bytesInto(index, offset, length, bytes);
  return bytes;
}

void World::bytesInto(std::size_t index, long long offset, long long length,
                      std::string& bytes) const {
  const WorldFile& file = files_[index];
  InputFile opened;
  const InputFile* in = index < held_.size() && held_[index].isOpen() ? &held_[index] : nullptr;
  if (!in) {
    if (opened.open(file.name) != InputFile::Status::Open) {
      throw WorldFileError{file.name, opened.reason()};
    }
    if (!(opened.id() == file.state.id)) {
      throw WorldFileError{file.name, "is no longer the file that was read"};
    }
    in = &opened;
  }
  const auto failed = [&] { throw WorldFileError{file.name, std::strerror(errno)}; };
  if (length >= 0) {
    if (!in->readAt(offset, static_cast<std::size_t>(length), bytes)) failed();
    return;
  }
  // One line: read on until its line break (or the file's end).
  bytes.clear();
  std::string block;
  for (long long at = offset;; at += static_cast<long long>(block.size())) {
    const bool whole = in->readAt(at, 256, block);
    if (!whole && errno != EIO) failed();
    const std::size_t end = block.find('\n');
    if (end != std::string::npos) {
      bytes.append(block, 0, end + 1);
      return;
    }
    bytes += block;
    if (!whole) return;
  }
}

std::string World::recordText(std::size_t record) const {
  return bytesAt(fileIndexOfRecord(record), recordOffset(record), recordLength(record));
}

std::string World::rowText(std::size_t row) const {
  return bytesAt(fileIndexOfRow(row), rowOffset(row), -1);
}

WorkingRoom World::room(std::size_t record) const {
  WorkingRoom room;
  clearForReading(room);
  const std::string text = recordText(record);
  std::string scratch;
  const std::string_view lf = withLfLineEnds(text, scratch);
  if (!parseRoomRecord(lf, room)) readLoosely(lf, room);
  if (const std::size_t row = rowOf(record);
      row != kNone && (rowFlags_[row] & (kWritersRow | kCrLfWritersRow)) != 0) {
    room.roomdark = rowDark(row);
    room.roomterrain = rowTerrain(row);
  }
  return room;
}

int World::roomRegion(std::size_t record) const {
  const std::size_t row = rowOf(record);
  return row != kNone && (rowFlags_[row] & (kWritersRow | kCrLfWritersRow)) != 0 ? rowRegions_[row]
                                                                                 : 0;
}

std::string_view SequentialText::record(std::size_t record) {
  return at(world_.fileIndexOfRecord(record), world_.recordOffset(record),
            world_.recordLength(record));
}

std::string_view SequentialText::row(std::size_t row) {
  return at(world_.fileIndexOfRow(row), world_.rowOffset(row), -1);
}

std::string_view SequentialText::at(std::size_t file, long long offset, long long length) {
  constexpr long long kBlock = 1 << 20;
  const auto inBlock = [&]() -> std::optional<std::string_view> {
    if (file != file_ || offset < start_) return std::nullopt;
    const auto from = static_cast<std::size_t>(offset - start_);
    if (from > block_.size()) return std::nullopt;
    const std::string_view rest = std::string_view(block_).substr(from);
    if (length >= 0) {
      if (static_cast<std::size_t>(length) > rest.size()) return std::nullopt;
      return rest.substr(0, static_cast<std::size_t>(length));
    }
    const std::size_t end = rest.find('\n');
    if (end == std::string_view::npos) return std::nullopt;
    return rest.substr(0, end + 1);
  };
  if (const auto found = inBlock()) return *found;
  const long long size = world_.files()[file].state.size;
  const long long wanted = std::min(std::max(length, kBlock), size - offset);
  if (wanted > 0) {
    world_.bytesInto(file, offset, wanted, block_);  // its room kept from block to block
    file_ = file;
    start_ = offset;
    if (const auto found = inBlock()) return *found;
  }
  // Longer than a block, or the last line without its line break.
  world_.bytesInto(file, offset, length, single_);
  return single_;
}

}  // namespace rb
