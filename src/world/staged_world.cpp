#include "world/staged_world.h"

#include <algorithm>
#include <climits>
#include <map>

#include "format/function_name.h"
#include "format/room_record.h"

namespace rb {

bool sameStagedRoom(const StagedRoom& a, const StagedRoom& b) {
  if (a.exists != b.exists) return false;
  if (!a.exists) return true;
  return a.region == b.region && a.hasRow == b.hasRow && a.file == b.file &&
         a.room.roomdark == b.room.roomdark && a.room.roomterrain == b.room.roomterrain &&
         roomRecord(a.room) == roomRecord(b.room);
}

const StagedRoom* StagedWorld::staged(std::size_t id) const {
  const auto found = staged_.find(id);
  return found == staged_.end() ? nullptr : &found->second;
}

bool StagedWorld::exists(std::size_t id) const {
  if (const StagedRoom* s = staged(id)) return s->exists;
  return id < world_.records();
}

std::size_t StagedWorld::find(int number) const {
  const std::size_t record = world_.findNumber(number);
  if (record != World::kNone && exists(record)) return record;
  std::size_t found = kNone;
  const auto [first, last] = addedNumbers_.equal_range(number);
  for (auto it = first; it != last; ++it) {
    if (exists(it->second)) found = std::min(found, it->second);
  }
  return found;
}

int StagedWorld::number(std::size_t id) const {
  if (const StagedRoom* s = staged(id)) return s->room.room;
  return world_.graph().number(id);
}

int StagedWorld::exit(std::size_t id, int slot) const {
  if (const StagedRoom* s = staged(id)) return s->room.exitd[static_cast<std::size_t>(slot)];
  return world_.graph().exit(id, slot);
}

std::size_t StagedWorld::fileOf(std::size_t id) const {
  if (const StagedRoom* s = staged(id)) return s->file;
  return world_.fileIndexOfRecord(id);
}

bool StagedWorld::isWriters(std::size_t id) const {
  return id >= world_.records() ||
         (world_.recordFlags(id) & (World::kWriters | World::kCrLfWriters)) != 0;
}

StagedRoom StagedWorld::fromWorld(std::size_t id) const {
  StagedRoom room;
  room.room = world_.room(id);
  room.region = world_.roomRegion(id);
  room.hasRow = world_.rowOf(id) != World::kNone;
  room.file = world_.fileIndexOfRecord(id);
  return room;
}

StagedRoom StagedWorld::room(std::size_t id) const {
  if (const StagedRoom* s = staged(id)) return *s;
  return fromWorld(id);
}

int StagedWorld::nextFreeNumber(int number) const {
  for (long long candidate = static_cast<long long>(number) + 1; candidate <= INT_MAX;
       ++candidate) {
    if (find(static_cast<int>(candidate)) == kNone) return static_cast<int>(candidate);
  }
  return number;
}

bool StagedWorld::hasShortName(std::size_t id) const {
  if (const StagedRoom* s = staged(id)) return !s->room.shortname.empty();
  return (world_.recordFlags(id) & World::kNoShortName) == 0;
}

std::vector<std::size_t> StagedWorld::addedRooms() const {
  std::vector<std::size_t> ids;
  for (std::size_t id = world_.records(); id < size(); ++id) {
    if (exists(id)) ids.push_back(id);
  }
  return ids;
}

std::vector<std::pair<std::size_t, int>> StagedWorld::exitsTo(int number) const {
  std::vector<std::pair<std::size_t, int>> found;
  const AreaGraph& graph = world_.graph();
  for (std::size_t id = 0; id < size(); ++id) {
    const StagedRoom* s = staged(id);
    if (!s && id >= world_.records()) continue;
    if (s && !s->exists) continue;
    for (int slot = 1; slot <= kExitCount; ++slot) {
      const int exit = s ? s->room.exitd[static_cast<std::size_t>(slot)] : graph.exit(id, slot);
      if (exit == number && exit != kNoExit) found.emplace_back(id, slot);
    }
  }
  return found;
}

void StagedWorld::begin(std::size_t shown) {
  open_ = StagedChange{};
  open_->shownBefore = shown;
}

void StagedWorld::put(std::size_t id, const StagedRoom& room) {
  if (std::find(open_->rooms.begin(), open_->rooms.end(), id) == open_->rooms.end()) {
    open_->rooms.push_back(id);
    open_->before.push_back(this->room(id));
  }
  staged_[id] = room;
}

std::size_t StagedWorld::add(const StagedRoom& room) {
  const std::size_t id = size();
  ++added_;
  addedNumbers_.emplace(room.room.room, id);
  StagedRoom none = room;
  none.exists = false;
  open_->rooms.push_back(id);
  open_->before.push_back(none);
  staged_[id] = room;
  return id;
}

bool StagedWorld::end(std::size_t shown) {
  StagedChange change = std::move(*open_);
  open_.reset();
  change.shownAfter = shown;
  bool changed = false;
  for (std::size_t k = 0; k < change.rooms.size(); ++k) {
    change.after.push_back(room(change.rooms[k]));
    changed = changed || !sameStagedRoom(change.before[k], change.after[k]);
  }
  if (!changed) return false;
  done_.push_back(std::move(change));
  undone_.clear();
  return true;
}

void StagedWorld::apply(const std::vector<std::size_t>& rooms,
                        const std::vector<StagedRoom>& states) {
  for (std::size_t k = 0; k < rooms.size(); ++k)
    staged_[rooms[k]] = states[k];
}

bool StagedWorld::undo(std::size_t& shown) {
  if (done_.empty()) return false;
  StagedChange change = std::move(done_.back());
  done_.pop_back();
  apply(change.rooms, change.before);
  shown = change.shownBefore;
  undone_.push_back(std::move(change));
  return true;
}

bool StagedWorld::redo(std::size_t& shown) {
  if (undone_.empty()) return false;
  StagedChange change = std::move(undone_.back());
  undone_.pop_back();
  apply(change.rooms, change.after);
  shown = change.shownAfter;
  done_.push_back(std::move(change));
  return true;
}

void StagedWorld::stage(WorldEdit& edit) const {
  const std::size_t records = world_.records();
  std::vector<std::size_t> ids;
  for (const auto& [id, state] : staged_)
    ids.push_back(id);
  std::sort(ids.begin(), ids.end());
  // Added rooms, by the record or row they follow (kNone: a file's end),
  // in ascending number.
  std::map<std::pair<std::size_t, std::size_t>, std::vector<std::size_t>> afterRecord, afterRow;
  for (const std::size_t id : ids) {
    const StagedRoom& state = staged_.at(id);
    if (id < records) {
      if (sameStagedRoom(state, fromWorld(id))) continue;
      const std::size_t row = world_.rowOf(id);
      if (!state.exists) {
        edit.deleteRecord(id);
        if (row != World::kNone) edit.deleteRow(row);
        continue;
      }
      edit.replaceRecord(id, state.room);
      if (row != World::kNone) edit.replaceRow(row, state.room, state.region);
      continue;
    }
    if (!state.exists) continue;
    const int number = state.room.room;
    // Right after the room it follows (or what that one follows), else after
    // the file's record with the highest number below the room's.
    std::size_t follows = state.follows;
    while (follows != kNone && follows >= records)
      follows = staged_.at(follows).follows;
    const WorldFile& file = world_.files()[state.file];
    std::size_t anchor = follows;
    for (std::size_t record = file.firstRecord; follows == kNone && record < file.endRecord;
         ++record) {
      const int other = world_.graph().number(record);
      if (other < number && (anchor == World::kNone || other > world_.graph().number(anchor))) {
        anchor = record;
      }
    }
    afterRecord[{state.file, anchor}].push_back(id);
    if (state.rowFile == World::kNone) continue;
    if (follows != kNone && world_.rowOf(follows) != World::kNone) {
      afterRow[{world_.fileIndexOfRow(world_.rowOf(follows)), world_.rowOf(follows)}].push_back(id);
      continue;
    }
    // Its row likewise, after the data file's row of the highest number
    // below it.
    const WorldFile& data = world_.files()[state.rowFile];
    std::size_t rowAnchor = World::kNone;
    int best = INT_MIN;
    for (std::size_t row = data.firstRow; row < data.endRow; ++row) {
      std::string_view region;
      int rowNumber = 0;
      const std::string_view name = world_.names().name(world_.matching().rowName(row));
      if (!formedFunctionName(name, region, rowNumber) || rowNumber >= number) continue;
      if (rowAnchor == World::kNone || rowNumber > best) {
        rowAnchor = row;
        best = rowNumber;
      }
    }
    afterRow[{state.rowFile, rowAnchor}].push_back(id);
  }
  const auto byNumber = [this](std::vector<std::size_t>& list) {
    std::sort(list.begin(), list.end(), [this](std::size_t a, std::size_t b) {
      return staged_.at(a).room.room < staged_.at(b).room.room;
    });
  };
  for (auto& [where, list] : afterRecord) {
    byNumber(list);
    for (const std::size_t id : list) {
      const WorkingRoom& room = staged_.at(id).room;
      if (where.second == World::kNone) {
        edit.insertRecordAtEnd(where.first, room);
      } else {
        edit.insertRecordAfter(where.second, room);
      }
    }
  }
  for (auto& [where, list] : afterRow) {
    byNumber(list);
    for (const std::size_t id : list) {
      const StagedRoom& state = staged_.at(id);
      if (where.second == World::kNone) {
        edit.insertRowAtEnd(where.first, state.room, state.region);
      } else {
        edit.insertRowAfter(where.second, state.room, state.region);
      }
    }
  }
}

}  // namespace rb
