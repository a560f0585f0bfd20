#include "world/room_changes.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <memory>
#include <optional>

#include "base/number_text.h"
#include "base/text_append.h"
#include "format/data_row.h"
#include "format/function_name.h"
#include "format/loose_record.h"
#include "format/record_format.h"
#include "format/room_record.h"

namespace rb {

namespace {

// The records whose numbers lie in the range, in world order.
std::vector<std::uint32_t> roomsIn(const World& world, RoomRange range) {
  std::vector<std::uint32_t> rooms;
  const AreaGraph& graph = world.graph();
  for (std::size_t record = 0; record < graph.size(); ++record) {
    const int number = graph.number(record);
    if (number >= range.first && number <= range.last) {
      rooms.push_back(static_cast<std::uint32_t>(record));
    }
  }
  return rooms;
}

std::string rangeText(RoomRange range) {
  std::string text;
  if (range.first == range.last) {
    appendText(text, "no room has the number ", range.first);
  } else {
    appendText(text, "no room has a number from ", range.first, " to ", range.last);
  }
  return text;
}

// Where a record stands, as a refusal names another one: "FILE:LINE".
std::string placeOf(const World& world, std::size_t record) {
  std::string place;
  appendText(place, world.fileOfRecord(record).name, ":", world.recordLine(record));
  return place;
}

// A range's rooms moved to new numbers from `newFirst` on, each by the same
// amount.
struct Shift {
  long long delta;
  int operator()(int number) const { return static_cast<int>(number + delta); }
};

// The shift of `range` to `newFirst`, when every number it gives is an int.
std::optional<Shift> shiftOf(RoomRange range, int newFirst) {
  const long long delta = static_cast<long long>(newFirst) - range.first;
  if (static_cast<long long>(range.last) + delta > INT_MAX ||
      static_cast<long long>(range.first) + delta < INT_MIN) {
    return std::nullopt;
  }
  return Shift{delta};
}

constexpr const char* kBeyondInt = "the new numbers would lie beyond the range of int";

ChangeOutcome refuse(std::string text, std::size_t record = World::kNone) {
  ChangeOutcome outcome;
  outcome.refused = true;
  outcome.refusedRecord = record;
  outcome.refusal = std::move(text);
  return outcome;
}

// The line of `text` that starts with `start`: [begin, end), or npos.
std::pair<std::size_t, std::size_t> lineStarting(std::string_view text, std::string_view start) {
  for (std::size_t pos = 0; pos < text.size();) {
    std::size_t end = text.find('\n', pos);
    end = end == std::string_view::npos ? text.size() : end + 1;
    if (text.substr(pos, start.size()) == start) return {pos, end};
    pos = end;
  }
  return {std::string_view::npos, std::string_view::npos};
}

std::string_view lineEnd(std::string_view line) {
  if (line.size() >= 2 && line.substr(line.size() - 2) == "\r\n") return "\r\n";
  return line.empty() || line.back() != '\n' ? "" : "\n";
}

// The lines of a record that is not the writer's own, as far as a change
// needs them, each only when it reads as the writer writes it.
struct RecordLines {
  std::string_view text;

  // The header line: the writer's "REGIONl_N(user,com,dir)".
  bool headerIsWriters(std::string_view& region) const {
    const std::string_view first = text.substr(0, text.find('\n') + 1);
    const auto name = headerFunctionName(first);
    int number = 0;
    return name && formedFunctionName(*name, region, number) &&
           first.substr(0, first.size() - lineEnd(first).size()) ==
               std::string(*name) + std::string(kHeaderTail);
  }
  // The links line: twelve numbers as "%d" writes them, as the writer
  // writes the line.
  bool linksAreWriters() const {
    const auto [begin, end] = lineStarting(text, format::kLinksStart);
    if (begin == std::string_view::npos) return false;
    const std::string_view line = text.substr(begin, end - begin);
    Exits exits;
    exits.fill(kNoExit);
    scanLinks(line, exits);
    std::string written;
    appendLinksLine(written, exits);
    written.pop_back();
    return line.substr(0, line.size() - lineEnd(line).size()) == written;
  }
  // The event line, when there is one: its room number as "%d" writes it.
  bool eventIsWriters() const {
    const auto [begin, end] = lineStarting(text, format::kEventStart);
    if (begin == std::string_view::npos) return true;
    const std::string_view line = text.substr(begin, end - begin);
    const std::size_t room = line.find(format::kEventRoom);
    if (room == std::string_view::npos) return false;
    std::size_t pos = room + format::kEventRoom.size();
    int number = 0;
    return takeWrittenInt(line, pos, number) && line.substr(pos, 2) == format::kEventText;
  }
};

// `text` (a record), appended to `out` with its number `newNumber` (when
// given) and its exits led through `lead`, changed in those lines only: the
// header line, the event line and the links line, which the caller knows
// read as the writer writes them. A record of the writer's own so changed is what the writer
// writes for the changed room. Built in one pass: the bytes between the
// changes are copied once.
template <class Lead>
void rewriteRecord(std::string_view text, const int* newNumber, const Lead& lead,
                   std::string& out) {
  std::size_t copied = 0;  // text before it is in `out`
  const auto copyTo = [&](std::size_t to) {
    out.append(text.substr(copied, to - copied));
    copied = to;
  };
  std::string number;
  if (newNumber) {
    number = std::to_string(*newNumber);
    const std::size_t tail = text.find(kHeaderTail);
    copyTo(text.rfind('_', tail) + 1);
    out += number;
    copied = tail;
  }
  // The first event line and the first links line, whichever stands first.
  constexpr std::size_t npos = std::string_view::npos;
  std::size_t event = npos, links = npos;
  for (std::size_t pos = text.find('\n', copied); pos != npos && (event == npos || links == npos);
       pos = text.find('\n', pos + 1)) {
    const std::string_view line = text.substr(pos + 1);
    if (event == npos && line.starts_with(format::kEventStart)) event = pos + 1;
    if (links == npos && line.starts_with(format::kLinksStart)) links = pos + 1;
  }
  const auto changeEvent = [&] {
    if (!newNumber || event == npos) return;
    const std::size_t at = text.find(format::kEventRoom, event) + format::kEventRoom.size();
    copyTo(at);
    out += number;
    copied = text.find(format::kEventText, at);
  };
  const auto changeLinks = [&] {
    if (links == npos) return;
    std::size_t end = text.find('\n', links);
    end = end == npos ? text.size() : end + 1;
    const std::string_view line = text.substr(links, end - links);
    Exits exits;
    exits.fill(kNoExit);
    scanLinks(line, exits);
    bool changed = false;
    for (int slot = 1; slot <= kExitCount; ++slot) {
      int& exit = exits[static_cast<std::size_t>(slot)];
      const int led = lead(slot, exit);
      changed = changed || led != exit;
      exit = led;
    }
    if (!changed) return;
    copyTo(links);
    appendLinksLine(out, exits);
    out.pop_back();
    out += lineEnd(line);
    copied = end;
  };
  if (event < links) {
    changeEvent();
    changeLinks();
  } else {
    changeLinks();
    changeEvent();
  }
  copyTo(text.size());
}

// A row appended to `out` with its function name given another number:
// the rest of the row stays.
void renameRow(std::string_view row, int newNumber, std::string& out) {
  const std::string_view name = rowFunctionName(row);
  std::string_view region, digits;
  splitFunctionName(name, region, digits);
  appendFunctionName(out, region, newNumber);
  out.append(row.substr(name.size()));
}

bool isWriters(const World& world, std::size_t record) {
  return (world.recordFlags(record) & (World::kWriters | World::kCrLfWriters)) != 0;
}

// The numbers of a range that some record has: a bit for each number of
// the range when the range is not much wider than its rooms, otherwise
// their numbers in order (a range such as 0-2000000000 holding a few rooms
// takes no more than they do).
class HeldNumbers {
 public:
  HeldNumbers(const World& world, const std::vector<std::uint32_t>& rooms, RoomRange range)
      : first_(range.first) {
    const auto span =
        static_cast<std::size_t>(static_cast<long long>(range.last) - range.first + 1);
    if (span / 64 <= rooms.size() + 1024) {
      bits_.assign(span, false);
      for (const std::size_t record : rooms)
        bits_[offset(world.graph().number(record))] = true;
    } else {
      for (const std::size_t record : rooms)
        sorted_.push_back(world.graph().number(record));
      std::sort(sorted_.begin(), sorted_.end());
    }
  }
  // Whether `number` (a number of the range) is held.
  bool has(int number) const {
    return sorted_.empty() ? bits_[offset(number)]
                           : std::binary_search(sorted_.begin(), sorted_.end(), number);
  }

 private:
  std::size_t offset(int number) const {
    return static_cast<std::size_t>(static_cast<long long>(number) - first_);
  }
  int first_;
  std::vector<bool> bits_;
  std::vector<int> sorted_;
};

// Whether an exit leads to a room of the range: to a number of it that a
// room has.
struct LeadsInto {
  RoomRange range;
  std::shared_ptr<const HeldNumbers> held;
  bool operator()(int exit) const {
    return exit != kNoExit && exit >= range.first && exit <= range.last && held->has(exit);
  }
};

// The slots of a record whose exits lead into the range (bits 1 << slot).
std::uint16_t slotsInto(const AreaGraph& graph, std::size_t record, const LeadsInto& leads) {
  std::uint16_t slots = 0;
  for (int slot = 1; slot <= kExitCount; ++slot) {
    if (leads(graph.exit(record, slot))) slots = static_cast<std::uint16_t>(slots | (1u << slot));
  }
  return slots;
}

// The records of the world (those `skip` leaves out aside) with an exit
// into the range, and how many such exits there are.
std::vector<bool> exitsInto(const World& world, const LeadsInto& leads,
                            const std::vector<bool>* skip, std::size_t& exits) {
  const AreaGraph& graph = world.graph();
  std::vector<bool> holds(graph.size(), false);
  exits = 0;
  for (std::size_t record = 0; record < graph.size(); ++record) {
    if (skip && (*skip)[record]) continue;
    const std::uint16_t slots = slotsInto(graph, record, leads);
    holds[record] = slots != 0;
    exits += static_cast<std::size_t>(std::popcount(slots));
  }
  return holds;
}

std::vector<bool> asSet(const World& world, const std::vector<std::uint32_t>& records) {
  std::vector<bool> set(world.records(), false);
  for (const std::size_t record : records)
    set[record] = true;
  return set;
}

std::string exitWord(int slot) {
  return std::string(exitSlot(slot).word);
}

// Calls `found(record, row)` for each record of `records` that has a row,
// in the order of the records: the world's matching when it kept names,
// otherwise its rows of the records whose names it kept (the range's).
template <class Found>
void forEachRow(const World& world, const std::vector<bool>& records, const Found& found) {
  if (world.keepsNames()) {
    for (std::size_t record = 0; record < records.size(); ++record) {
      if (!records[record]) continue;
      if (const std::size_t row = world.rowOf(record); row != World::kNone) found(record, row);
    }
    return;
  }
  for (const auto& [record, row] : world.keptRows()) {
    if (records[record]) found(record, row);
  }
}

}  // namespace

WorldReading changeReading(RoomRange range, bool dryRun) {
  WorldReading reading;
  reading.names = false;
  reading.rows = true;
  reading.hashes = true;
  reading.hold = dryRun ? InputFile::Lock::Shared : InputFile::Lock::Exclusive;
  reading.keepName = [range](std::string_view function) {
    std::string_view region;
    int number = 0;
    return formedFunctionName(function, region, number) && number >= range.first &&
           number <= range.last;
  };
  return reading;
}

ChangeOutcome renumberRooms(const World& world, RoomRange range, int newFirst, WorldEdit& edit) {
  const std::vector<std::uint32_t> moved = roomsIn(world, range);
  if (moved.empty()) return refuse(rangeText(range));
  const auto shift = shiftOf(range, newFirst);
  if (!shift) return refuse(kBeyondInt);
  const AreaGraph& graph = world.graph();
  // Taken by value: the rewrites run when the edit is applied.
  const Shift newNumberOf = *shift;
  for (const std::size_t record : moved) {
    const int number = graph.number(record);
    const int to = newNumberOf(number);
    // A number of the range is free once its room has moved; another one
    // must be free now (and with it every function name it can form).
    if (to >= range.first && to <= range.last) continue;
    if (const std::size_t other = world.findNumber(to); other != World::kNone) {
      std::string said;
      appendText(said, "room ", number, " cannot become room ", to, ": room ", to, " at ",
                 placeOf(world, other), " has that number");
      return refuse(said);
    }
  }
  for (const std::size_t record : moved) {
    if (isWriters(world, record)) continue;
    const std::string text = world.recordText(record);
    const RecordLines lines{text};
    std::string_view region;
    if (!lines.headerIsWriters(region) || !lines.eventIsWriters()) {
      std::string said;
      appendText(said, "room ", graph.number(record),
                 ": the record is not as the room writer writes it where its number stands; "
                 "change it by hand");
      return refuse(said, record);
    }
  }
  const LeadsInto leads{range, std::make_shared<const HeldNumbers>(world, moved, range)};
  ChangeOutcome outcome;
  outcome.rooms = moved.size();
  auto holds = std::make_shared<std::vector<bool>>(exitsInto(world, leads, nullptr, outcome.exits));
  for (std::size_t record = 0; record < holds->size(); ++record) {
    if (!(*holds)[record] || isWriters(world, record)) continue;
    const std::string text = world.recordText(record);
    if (!RecordLines{text}.linksAreWriters()) {
      std::string said;
      appendText(said, "room ", graph.number(record),
                 ": the links line is not as the room writer writes it; its exits to the rooms "
                 "renumbered cannot follow them");
      return refuse(said, record);
    }
  }
  // The steps: each record that changes written again as it is copied, and
  // the rows of the rooms moved given their new names.
  auto movedSet = std::make_shared<std::vector<bool>>(asSet(world, moved));
  std::vector<bool> marked = *holds;
  for (std::size_t record = 0; record < marked.size(); ++record)
    marked[record] = marked[record] || (*movedSet)[record];
  const World* w = &world;
  edit.rewriteRecords(
      std::move(marked), [w, movedSet, newNumberOf, leads](
                             std::size_t record, std::string_view text, std::string& out) {
        const int to = newNumberOf(w->graph().number(record));
        const auto lead = [&](int, int exit) { return leads(exit) ? newNumberOf(exit) : exit; };
        rewriteRecord(text, (*movedSet)[record] ? &to : nullptr, lead, out);
      });
  std::vector<bool> rowMarks(world.rows(), false);
  // The new number of each row renamed, by row.
  auto rowNumbers = std::make_shared<std::vector<std::pair<std::uint32_t, int>>>();
  rowNumbers->reserve(moved.size());
  forEachRow(world, *movedSet, [&](std::size_t record, std::size_t row) {
    rowMarks[row] = true;
    rowNumbers->emplace_back(static_cast<std::uint32_t>(row), newNumberOf(graph.number(record)));
  });
  std::sort(rowNumbers->begin(), rowNumbers->end());
  edit.rewriteRows(std::move(rowMarks),
                   [rowNumbers](std::size_t row, std::string_view text, std::string& out) {
                     const auto found = std::lower_bound(
                         rowNumbers->begin(), rowNumbers->end(),
                         std::pair<std::uint32_t, int>(static_cast<std::uint32_t>(row), INT_MIN));
                     renameRow(text, found->second, out);
                   });
  // The notes, in file order: each room moved, then the exits it holds
  // that follow; lines do not move.
  outcome.describe = [w, movedSet, holds, newNumberOf, leads](const MessageSink& sink) {
    const AreaGraph& g = w->graph();
    std::string said;
    for (std::size_t record = 0; record < w->records(); ++record) {
      const bool isMoved = (*movedSet)[record];
      if (!isMoved && !(*holds)[record]) continue;
      const int number = isMoved ? newNumberOf(g.number(record)) : g.number(record);
      const std::size_t file = w->fileIndexOfRecord(record);
      const long long line = w->recordLine(record);
      if (isMoved) {
        said.clear();
        appendText(said, "room ", number, " was room ", g.number(record));
        sink({file, line, false, "", said});
      }
      if (!(*holds)[record]) continue;
      for (const int slot : kShownOrder) {
        const int exit = g.exit(record, slot);
        if (!leads(exit)) continue;
        said.clear();
        appendText(said, "room ", number, ": the ", exitWord(slot), " exit now leads to room ",
                   newNumberOf(exit));
        sink({file, line, false, "", said});
      }
    }
  };
  return outcome;
}

ChangeOutcome deleteRooms(const World& world, RoomRange range, bool keepExits, WorldEdit& edit) {
  const std::vector<std::uint32_t> deleted = roomsIn(world, range);
  if (deleted.empty()) return refuse(rangeText(range));
  const AreaGraph& graph = world.graph();
  for (const std::size_t record : deleted) {
    if (!isWriters(world, record)) {
      std::string said;
      appendText(said, "room ", graph.number(record),
                 ": the record is not as the room writer writes it; it is not deleted (remove "
                 "it by hand)");
      return refuse(said, record);
    }
  }
  auto deletedSet = std::make_shared<std::vector<bool>>(asSet(world, deleted));
  const LeadsInto leadsIn{range, std::make_shared<const HeldNumbers>(world, deleted, range)};
  ChangeOutcome outcome;
  outcome.rooms = deleted.size();
  auto holds =
      std::make_shared<std::vector<bool>>(exitsInto(world, leadsIn, &*deletedSet, outcome.exits));
  if (!keepExits) {
    for (std::size_t record = 0; record < holds->size(); ++record) {
      if (!(*holds)[record] || isWriters(world, record)) continue;
      const std::string text = world.recordText(record);
      if (!RecordLines{text}.linksAreWriters()) {
        std::string said;
        appendText(said, "room ", graph.number(record),
                   ": the links line is not as the room writer writes it; its exits to the "
                   "rooms deleted cannot be removed (--keep-exits leaves them)");
        return refuse(said, record);
      }
    }
  }
  std::vector<bool> marked = *deletedSet;
  if (!keepExits) {
    for (std::size_t record = 0; record < marked.size(); ++record)
      marked[record] = marked[record] || (*holds)[record];
  }
  edit.rewriteRecords(
      std::move(marked),
      [deletedSet, leadsIn](std::size_t record, std::string_view text, std::string& out) {
        if ((*deletedSet)[record]) return;  // the record goes, its blank line with it
        const auto lead = [&](int, int exit) { return leadsIn(exit) ? kNoExit : exit; };
        rewriteRecord(text, nullptr, lead, out);
      });
  std::vector<bool> rows(world.rows(), false);
  forEachRow(world, *deletedSet, [&](std::size_t, std::size_t row) { rows[row] = true; });
  edit.rewriteRows(std::move(rows), [](std::size_t, std::string_view, std::string&) {});
  // Lines after a deleted record move up by its lines.
  const World* w = &world;
  outcome.describe = [w, deletedSet, holds, leadsIn, keepExits](const MessageSink& sink) {
    const AreaGraph& g = w->graph();
    long long removedLines = 0;
    std::size_t file = World::kNone;
    std::string said;
    for (std::size_t record = 0; record < w->records(); ++record) {
      if (w->fileIndexOfRecord(record) != file) {
        file = w->fileIndexOfRecord(record);
        removedLines = 0;
      }
      if ((*deletedSet)[record]) {
        removedLines += w->recordLineCount(record);
        continue;
      }
      if (!(*holds)[record]) continue;
      const long long line = w->recordLine(record) - removedLines;
      for (const int slot : kShownOrder) {
        const int number = g.number(record), exit = g.exit(record, slot);
        if (!leadsIn(exit)) continue;
        said.clear();
        if (keepExits) {
          appendText(said, "room ", number, ": the ", exitWord(slot), " exit to room ", exit,
                     " is kept, though no room has that number now");
          sink({file, line, true, "kept-exit", said});
        } else {
          appendText(said, "room ", number, ": the ", exitWord(slot), " exit to room ", exit,
                     " is removed");
          sink({file, line, false, "", said});
        }
      }
    }
  };
  return outcome;
}

ChangeOutcome copyRooms(const World& world, RoomRange range, int newFirst, bool withExits,
                        WorldEdit& edit) {
  const std::vector<std::uint32_t> originals = roomsIn(world, range);
  if (originals.empty()) return refuse(rangeText(range));
  const auto shift = shiftOf(range, newFirst);
  if (!shift) return refuse(kBeyondInt);
  const AreaGraph& graph = world.graph();
  const Shift newNumberOf = *shift;
  for (const std::size_t record : originals) {
    const int number = graph.number(record);
    if (!isWriters(world, record)) {
      std::string said;
      appendText(said, "room ", number,
                 ": the record is not as the room writer writes it; it is not copied");
      return refuse(said, record);
    }
    // A number no room has can form no function name a room has.
    const int to = newNumberOf(number);
    if (const std::size_t other = world.findNumber(to); other != World::kNone) {
      std::string said;
      appendText(said, "room ", number, " cannot be copied to room ", to, ": room ", to, " at ",
                 placeOf(world, other), " has that number");
      return refuse(said);
    }
  }
  const LeadsInto inRange{range, std::make_shared<const HeldNumbers>(world, originals, range)};
  ChangeOutcome outcome;
  outcome.rooms = originals.size();
  const World* w = &world;
  // By room file: its originals, copied after the last of them.
  auto byFile = std::make_shared<std::vector<std::vector<std::uint32_t>>>(world.files().size());
  for (const std::uint32_t record : originals)
    (*byFile)[world.fileIndexOfRecord(record)].push_back(record);
  const auto outside = [w, inRange, withExits](int exit) {
    // Where an exit leading out of the range leads in the copy.
    if (exit == kNoExit || inRange(exit)) return exit;
    return withExits && w->findNumber(exit) != World::kNone ? exit : kNoExit;
  };
  for (std::size_t file = 0; file < byFile->size(); ++file) {
    const std::vector<std::uint32_t>& copies = (*byFile)[file];
    if (copies.empty()) continue;
    auto index = std::make_shared<std::size_t>(0);
    auto texts = std::make_shared<SequentialText>(world);
    edit.generateAfterRecord(copies.back(), [w, byFile, file, index, texts, newNumberOf, inRange,
                                             outside](std::string& out) {
      const std::vector<std::uint32_t>& list = (*byFile)[file];
      const std::size_t record = list[*index];
      const int to = newNumberOf(w->graph().number(record));
      const auto lead = [&](int, int exit) {
        return inRange(exit) ? newNumberOf(exit) : outside(exit);
      };
      rewriteRecord(texts->record(record), &to, lead, out);
      return ++*index < list.size();
    });
    for (const std::size_t record : copies) {
      for (const int slot : kShownOrder) {
        const int exit = graph.exit(record, slot);
        outcome.exits += withExits && exit != kNoExit && !inRange(exit) ? 1 : 0;
      }
    }
  }
  // The rows: by data file, after the last row of the range in it.
  std::vector<std::vector<std::pair<std::uint32_t, int>>> rowsByFile(world.files().size());
  forEachRow(world, asSet(world, originals), [&](std::size_t record, std::size_t row) {
    rowsByFile[world.fileIndexOfRow(row)].emplace_back(static_cast<std::uint32_t>(row),
                                                       newNumberOf(graph.number(record)));
  });
  for (auto& list : rowsByFile) {
    if (list.empty()) continue;
    std::sort(list.begin(), list.end());
    auto shared = std::make_shared<std::vector<std::pair<std::uint32_t, int>>>(std::move(list));
    auto index = std::make_shared<std::size_t>(0);
    auto texts = std::make_shared<SequentialText>(world);
    edit.generateAfterRow(shared->back().first, [shared, index, texts](std::string& out) {
      const auto [row, to] = (*shared)[*index];
      renameRow(texts->row(row), to, out);
      return ++*index < shared->size();
    });
  }
  // A note for each copy, at its line, its warnings after it.
  outcome.describe = [w, byFile, newNumberOf, inRange, withExits](const MessageSink& sink) {
    const AreaGraph& g = w->graph();
    std::string said;
    for (std::size_t file = 0; file < byFile->size(); ++file) {
      const std::vector<std::uint32_t>& copies = (*byFile)[file];
      if (copies.empty()) continue;
      long long line = w->recordLine(copies.back()) + w->recordLineCount(copies.back());
      for (const std::size_t record : copies) {
        const int number = g.number(record), to = newNumberOf(number);
        said.clear();
        appendText(said, "room ", to, " is a copy of room ", number);
        sink({file, line, false, "", said});
        for (const int slot : kShownOrder) {
          const int exit = g.exit(record, slot);
          if (!withExits || exit == kNoExit || inRange(exit)) continue;
          said.clear();
          if (w->findNumber(exit) == World::kNone) {
            appendText(said, "room ", to, ": the ", exitWord(slot), " exit to room ", exit,
                       " is left out of the copy: no room has that number");
            sink({file, line, true, "dropped-exit", said});
          } else {
            appendText(said, "room ", to, ": the ", exitWord(slot), " exit to room ", exit,
                       " is one-way (room ", exit, " has no ",
                       exitSlot(exitSlot(slot).opposite).word, " exit back; link can add it)");
            sink({file, line, true, "one-way", said});
          }
        }
        line += w->recordLineCount(record);
      }
    }
  };
  return outcome;
}

}  // namespace rb
