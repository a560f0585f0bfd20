#include "builder/taken_names.h"

#include <unistd.h>

#include "area/area_reader.h"
#include "area/function_name.h"

namespace rb {

bool TakenNames::taken(std::string_view name, std::string_view own) const {
  const auto id = names_.find(name);
  if (!id || *id >= counts_.size()) return false;
  return counts_[*id] - (name == own ? 1u : 0u) > 0;
}

void TakenNames::add(NameTable::Id name) {
  if (name >= counts_.size()) counts_.resize(name + 1, 0);
  ++counts_[name];
}

void TakenNames::rename(std::string_view from, std::string_view to) {
  const auto id = names_.find(from);
  if (id && *id < counts_.size() && counts_[*id] > 0) --counts_[*id];
  add(to);
}

void TakenNames::addRecordsOf(const OutputFile& file) {
  const int fd = file.openForReading();
  if (fd < 0) return;
  try {
    LineReader lines(fd, LineReader::kSmallReads);
    std::string_view line;
    while (lines.nextHeader(line)) {
      if (const auto name = headerFunctionName(line)) add(*name);
    }
  } catch (const AreaReadError&) {
    // The names read so far are all that can be known.
  }
  ::close(fd);
}

std::string takenNameRefusal(const std::string& name) {
  return "The room file already has a room named " + name +
         ". Change its region name with key 1, or leave with x.\n";
}

}  // namespace rb
