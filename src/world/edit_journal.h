// The journal of `roombuilder edit`, beside the first room file named
// (.NAME.journal): the states of the files when the edit began, then each
// change as it is made (the rooms it left, and where the walk was), each
// undo and redo, all appended and synced before the next key is read, so
// that an edit cut off by a signal, a lost terminal or a crash loses
// nothing. Before a write puts its files in place, the placements are
// appended too: a write cut off part way is finished from them at the next
// start. A write that is done, or changes dropped, remove the journal.
//
// The journal is text: a line for each entry, a room's record as the room
// writer writes it after its line, its length said first. An entry cut off
// at the end (the system stopped mid-write) is left out when it is read.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "files/input_file.h"
#include "files/replacement_file.h"
#include "world/staged_world.h"
#include "world/world.h"

namespace rb {

struct JournalEntry {
  enum class Kind { Change, Undo, Redo } kind = Kind::Change;
  StagedChange change;  // the rooms and their states after it (Change)
};

struct JournalRead {
  std::vector<FileState> files;  // as they were when the edit began
  std::vector<JournalEntry> entries;
  std::optional<std::vector<Placement>> write;  // a write that was begun
};

class EditJournal {
 public:
  // The journal's name for the first room file of a world.
  static std::string nameFor(const std::string& roomFile);

  // Starts a journal for the edit of `world` (not written until the first
  // entry: an edit that changes nothing leaves none). False (errno) when it
  // cannot be written.
  void begin(const std::string& name, const World& world);
  bool change(const StagedChange& change);
  bool undo();
  bool redo();
  bool write(const std::vector<Placement>& placements);
  // Removes it: the changes are written or dropped.
  void remove();

  // The journal `name`, when there is one.
  static std::optional<JournalRead> read(const std::string& name);

 private:
  bool append(const std::string& entry);

  std::string name_;
  std::string header_;
  int fd_ = -1;
};

}  // namespace rb
