#include "builder/taken_names.h"

#include <unistd.h>

#include <iterator>
#include <optional>

#include "area/area_reader.h"
#include "area/function_name.h"

namespace rb {

namespace {

// The region and room number of a name exactly as the writer forms it.
struct FormedName {
  std::string_view region;
  int number = 0;
};

std::optional<FormedName> formedName(std::string_view name) {
  FormedName formed;
  if (!formedFunctionName(name, formed.region, formed.number)) return std::nullopt;
  return formed;
}

// The run that holds `number`, or the end.
template <class Runs>
auto runOf(Runs& runs, int number) {
  auto next = runs.upper_bound(number);
  if (next == runs.begin()) return runs.end();
  const auto run = std::prev(next);
  return number <= run->second ? run : runs.end();
}

// Adds `number`, joining the runs it touches; false when it is there already.
bool insertNumber(std::map<int, int>& runs, int number) {
  auto next = runs.upper_bound(number);
  if (next != runs.begin()) {
    const auto before = std::prev(next);
    if (number <= before->second) return false;
    // before->second < number, so neither side overflows.
    if (before->second + 1 == number) {
      before->second = number;
      if (next != runs.end() && next->first - 1 == number) {
        before->second = next->second;
        runs.erase(next);
      }
      return true;
    }
  }
  if (next != runs.end() && next->first - 1 == number) {
    const int last = next->second;
    runs.erase(next);
    runs.emplace(number, last);
    return true;
  }
  runs.emplace(number, number);
  return true;
}

// Takes `number` out, splitting its run; false when it is not there.
bool eraseNumber(std::map<int, int>& runs, int number) {
  const auto run = runOf(runs, number);
  if (run == runs.end()) return false;
  const int first = run->first, last = run->second;
  runs.erase(run);
  if (first < number) runs.emplace(first, number - 1);
  if (number < last) runs.emplace(number + 1, last);
  return true;
}

}  // namespace

std::uint32_t TakenNames::count(std::string_view name) const {
  std::uint32_t total = 0;
  if (!counts_.empty()) {
    if (const auto id = names_.find(name); id && *id < counts_.size()) total = counts_[*id];
  }
  if (const auto formed = formedName(name)) {
    const auto region = runs_.find(formed->region);
    if (region != runs_.end() && runOf(region->second, formed->number) != region->second.end())
      ++total;
  }
  return total;
}

bool TakenNames::taken(std::string_view name, std::string_view own) const {
  return count(name) > (name == own ? 1u : 0u);
}

void TakenNames::add(std::string_view name) {
  if (const auto formed = formedName(name)) {
    auto region = runs_.find(formed->region);
    if (region == runs_.end()) region = runs_.emplace(std::string(formed->region), Runs()).first;
    if (insertNumber(region->second, formed->number)) return;
  }
  add(names_.intern(name));
}

void TakenNames::add(NameTable::Id name) {
  if (name >= counts_.size()) counts_.resize(name + 1, 0);
  ++counts_[name];
}

void TakenNames::rename(std::string_view from, std::string_view to) {
  const auto id = names_.find(from);
  if (id && *id < counts_.size() && counts_[*id] > 0) {
    --counts_[*id];
  } else if (const auto formed = formedName(from)) {
    const auto region = runs_.find(formed->region);
    if (region != runs_.end()) eraseNumber(region->second, formed->number);
  }
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
