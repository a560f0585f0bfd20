// The function names a room file already has, so that no room is saved
// under one of them: the game server cannot compile a file with two
// functions of the same name. Counted by name. A name as the writer forms
// it (region, "l_", number) is held as a number in its region's runs of
// consecutive numbers, so that an area build of any length, numbered one
// room after another, takes the same little memory; other names, and a
// name's second and later counts, are counted on a name table.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/output_file.h"
#include "world/name_table.h"

namespace rb {

class TakenNames {
 public:
  // Names are numbered in `names`, which may already hold some.
  explicit TakenNames(NameTable& names) : names_(names) {}

  // Whether a room other than the one being saved has `name`. The room
  // being saved may already have a name in the file: `own`, which then does
  // not count once.
  bool taken(std::string_view name, std::string_view own = {}) const;

  // The same for the name region `region` and room `room` form, without
  // forming it (the area build asks and adds one for every room).
  bool taken(std::string_view region, int room) const;

  void add(std::string_view name);
  void add(NameTable::Id name);
  void add(std::string_view region, int room);
  // The room that had `from` is now named `to`.
  void rename(std::string_view from, std::string_view to);

  // Adds the name of every record of the room file open in `file`, read
  // from its header lines, whatever its size (a file that cannot be read
  // adds none), and notes the room numbers of those records.
  void addRecordsOf(const OutputFile& file);

  // Of the room numbers noted from the file, the first in [first, last],
  // and the lowest at or above `first` that the file does not have.
  struct NumberInRange {
    int taken;
    long long nextFree;
  };
  std::optional<NumberInRange> numberIn(int first, int last) const;

 private:
  // Room numbers, each once: runs of consecutive numbers, first -> last.
  using Runs = std::map<int, int>;

  std::uint32_t count(std::string_view name) const;

  NameTable& names_;
  std::vector<std::uint32_t> counts_;              // by name, besides the runs
  std::map<std::string, Runs, std::less<>> runs_;  // by region name
  Runs numbers_;                                   // of the file's records, whatever their names
};

// What key 0 prints instead of saving a room whose name is taken.
std::string takenNameRefusal(const std::string& name);

}  // namespace rb
