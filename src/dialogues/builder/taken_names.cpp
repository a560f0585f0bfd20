#include "dialogues/builder/taken_names.h"

#include <unistd.h>

#include <algorithm>
#include <iterator>

#include "format/area_reader.h"
#include "format/function_name.h"

namespace rb {

namespace {

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
  if (runOf(runs, number) != runs.end()) return false;
  auto next = runs.upper_bound(number);
  int last = number;
  // next->first > number and, below, before->second < number: no overflow.
  if (next != runs.end() && next->first - 1 == number) {
    last = next->second;
    next = runs.erase(next);
  }
  if (next != runs.begin()) {
    const auto before = std::prev(next);
    if (before->second + 1 == number) {
      before->second = last;
      return true;
    }
  }
  runs.emplace_hint(next, number, last);
  return true;
}

// Takes `number` out, if it is there, splitting its run.
void eraseNumber(std::map<int, int>& runs, int number) {
  const auto run = runOf(runs, number);
  if (run == runs.end()) return;
  const int first = run->first, last = run->second;
  runs.erase(run);
  if (first < number) runs.emplace(first, number - 1);
  if (number < last) runs.emplace(number + 1, last);
}

}  // namespace

std::uint32_t TakenNames::count(std::string_view name) const {
  std::uint32_t total = 0;
  if (!counts_.empty()) {
    if (const auto id = names_.find(name); id && *id < counts_.size()) total = counts_[*id];
  }
  std::string_view region;
  int number = 0;
  if (formedFunctionName(name, region, number)) {
    const auto runs = runs_.find(region);
    if (runs != runs_.end() && runOf(runs->second, number) != runs->second.end()) ++total;
  }
  return total;
}

bool TakenNames::taken(std::string_view name, std::string_view own) const {
  return count(name) > (name == own ? 1u : 0u);
}

bool TakenNames::taken(std::string_view region, int room) const {
  // Other names are counted by name; most areas have none.
  if (!counts_.empty()) return taken(functionName(region, room));
  const auto runs = runs_.find(region);
  return runs != runs_.end() && runOf(runs->second, room) != runs->second.end();
}

void TakenNames::add(std::string_view region, int room) {
  auto runs = runs_.find(region);
  if (runs == runs_.end()) runs = runs_.emplace(std::string(region), Runs()).first;
  if (!insertNumber(runs->second, room)) add(names_.intern(functionName(region, room)));
}

void TakenNames::add(std::string_view name) {
  std::string_view region;
  int number = 0;
  if (formedFunctionName(name, region, number)) {
    auto runs = runs_.find(region);
    if (runs == runs_.end()) runs = runs_.emplace(std::string(region), Runs()).first;
    if (insertNumber(runs->second, number)) return;
  }
  add(names_.intern(name));
}

void TakenNames::add(NameTable::Id name) {
  if (name >= counts_.size()) counts_.resize(name + 1, 0);
  ++counts_[name];
}

void TakenNames::rename(std::string_view from, std::string_view to) {
  const auto id = names_.find(from);
  std::string_view region;
  int number = 0;
  if (id && *id < counts_.size() && counts_[*id] > 0) {
    --counts_[*id];
  } else if (formedFunctionName(from, region, number)) {
    if (const auto runs = runs_.find(region); runs != runs_.end())
      eraseNumber(runs->second, number);
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
      if (const auto name = headerFunctionName(line)) {
        add(*name);
        insertNumber(numbers_, headerRoomNumber(*name));
      }
    }
  } catch (const AreaReadError&) {
    // The names read so far are all that can be known.
  }
  ::close(fd);
}

std::optional<TakenNames::NumberInRange> TakenNames::numberIn(int first, int last) const {
  if (last < first) return std::nullopt;
  // The run holding `first`, or the first run after it.
  auto run = runOf(numbers_, first);
  if (run == numbers_.end()) run = numbers_.upper_bound(first);
  if (run == numbers_.end() || run->first > last) return std::nullopt;
  const int taken = std::max(run->first, first);
  const auto holding = runOf(numbers_, first);
  const long long nextFree = holding == numbers_.end() ? first : holding->second + 1LL;
  return NumberInRange{taken, nextFree};
}

std::string takenNameRefusal(const std::string& name) {
  return "The room file already has a room named " + name +
         ". Change its region name with key 1, or leave with x.\n";
}

}  // namespace rb
