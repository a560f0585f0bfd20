// The function names a room file already has, so that no room is saved
// under one of them: the game server cannot compile a file with two
// functions of the same name.
#pragma once

#include <string>
#include <unordered_map>

#include "files/output_file.h"

namespace rb {

class TakenNames {
 public:
  // Whether a room other than the one being saved has `name`. The room
  // being saved may already have a name in the file: `own`, which then does
  // not count once.
  bool taken(const std::string& name, const std::string& own = {}) const;

  void add(const std::string& name) { ++count_[name]; }
  // The room that had `from` is now named `to`.
  void rename(const std::string& from, const std::string& to);

  // Adds the name of every record of the room file open in `file`, read
  // from its header lines, whatever its size (a file that cannot be read
  // adds none).
  void addRecordsOf(const OutputFile& file);

 private:
  std::unordered_map<std::string, int> count_;
};

// What key 0 prints instead of saving a room whose name is taken.
std::string takenNameRefusal(const std::string& name);

}  // namespace rb
