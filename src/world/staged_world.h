// A world with changes made but not yet written: what `roombuilder edit`
// walks and changes. The World read stays as it is; the rooms changed,
// added or deleted are kept beside it, each change (a key's work: an edit,
// a dig, a copy, a delete, a link) as the rooms it touched before and after
// it, so that any change is undone or redone without reading the world
// again. Writing is one WorldEdit of every room staged.
//
// Rooms are named by an id: the world's records keep their index; a room
// added gets the next id after the last one there is.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "format/room_model.h"
#include "world/world.h"
#include "world/world_edit.h"

namespace rb {

// A room as it stands now: its fields (darkness and terrain are its row's),
// its row's region number, and where it lies.
struct StagedRoom {
  bool exists = true;
  WorkingRoom room;
  int region = 0;
  bool hasRow = true;
  std::size_t file = 0;  // the room file (by index in the world)
  // An added room's row goes into this data file (World::kNone: none).
  std::size_t rowFile = World::kNone;
  // An added room that goes right after another room (a copy after its
  // original), or kNone: after the room of the highest number below it.
  std::size_t follows = static_cast<std::size_t>(-1);
};

// One change: the rooms it touched, as they were and as it left them, and
// the room shown when it was made and after it.
struct StagedChange {
  std::size_t shownBefore = 0, shownAfter = 0;
  std::vector<std::size_t> rooms;
  std::vector<StagedRoom> before, after;
};

class StagedWorld {
 public:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  explicit StagedWorld(const World& world) : world_(world) {}

  const World& world() const { return world_; }
  // Ids from 0 to size() - 1; some of them no longer exist.
  std::size_t size() const { return world_.records() + added_; }
  bool exists(std::size_t id) const;
  // The first existing room with `number`, or kNone.
  std::size_t find(int number) const;
  int number(std::size_t id) const;
  int exit(std::size_t id, int slot) const;
  std::size_t fileOf(std::size_t id) const;
  // Whether the room's record is the room writer's own (added rooms are).
  bool isWriters(std::size_t id) const;
  // The room as it stands now (read again from its record when it was
  // never changed).
  StagedRoom room(std::size_t id) const;
  // Whether the room has a short name (without reading its record).
  bool hasShortName(std::size_t id) const;
  // The lowest number above `number` that no room has.
  int nextFreeNumber(int number) const;
  // The rooms added that exist, in order.
  std::vector<std::size_t> addedRooms() const;
  // Every exit of every room that leads to `number`: the room and slot.
  std::vector<std::pair<std::size_t, int>> exitsTo(int number) const;

  // Changes. Every room a change touches is put with its new state between
  // begin() and end(); end() keeps the change when some room differs from
  // what it was (and returns whether it did).
  void begin(std::size_t shown);
  void put(std::size_t id, const StagedRoom& room);
  // A new room: its id.
  std::size_t add(const StagedRoom& room);
  bool end(std::size_t shown);
  // The last change made; valid after end() returned true.
  const StagedChange& lastChange() const { return done_.back(); }

  // Undo and redo: false when there is nothing to; otherwise the room to
  // show (where the change was made, or where it left the walk).
  bool undo(std::size_t& shown);
  bool redo(std::size_t& shown);
  bool canRedo() const { return !undone_.empty(); }
  // How many changes are not written (those undone do not count).
  std::size_t pending() const { return done_.size(); }

  // The steps that write every room staged now.
  void stage(WorldEdit& edit) const;

 private:
  const StagedRoom* staged(std::size_t id) const;
  void apply(const std::vector<std::size_t>& rooms, const std::vector<StagedRoom>& states);
  StagedRoom fromWorld(std::size_t id) const;

  const World& world_;
  std::size_t added_ = 0;
  std::unordered_map<std::size_t, StagedRoom> staged_;
  std::unordered_multimap<int, std::size_t> addedNumbers_;  // number -> added ids
  std::vector<StagedChange> done_, undone_;
  std::optional<StagedChange> open_;
};

// Whether two states of a room are the same room, byte for byte as written.
bool sameStagedRoom(const StagedRoom& a, const StagedRoom& b);

}  // namespace rb
