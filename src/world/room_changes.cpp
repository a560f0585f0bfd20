#include "world/room_changes.h"

#include <algorithm>
#include <climits>
#include <memory>

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
std::vector<std::size_t> roomsIn(const World& world, RoomRange range) {
  std::vector<std::size_t> rooms;
  const AreaGraph& graph = world.graph();
  for (std::size_t record = 0; record < graph.size(); ++record) {
    const int number = graph.number(record);
    if (number >= range.first && number <= range.last) rooms.push_back(record);
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

std::string withCrLf(std::string_view lf) {
  std::string out;
  out.reserve(lf.size() + lf.size() / 32);
  for (const char c : lf) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
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

// `text` (a record) with its number `newNumber` (when given) and its exits
// led through `lead`: the writer's own record written again from its
// fields, another one changed in the lines that read as the writer's.
template <class Lead>
void rewriteRecord(std::string_view text, bool writers, const int* newNumber, const Lead& lead,
                   std::string& out) {
  const bool crLf = text.find("\r\n") != std::string_view::npos;
  if (writers) {
    std::string scratch;
    const std::string_view lf = withLfLineEnds(text, scratch);
    WorkingRoom room;
    parseRoomRecord(lf, room);
    if (newNumber) room.room = *newNumber;
    for (int slot = 1; slot <= kExitCount; ++slot) {
      int& exit = room.exitd[static_cast<std::size_t>(slot)];
      exit = lead(slot, exit);
    }
    out = crLf ? withCrLf(roomRecord(room)) : roomRecord(room);
    return;
  }
  out.assign(text);
  if (newNumber) {
    // The header's number, and the event line's.
    const std::size_t tail = out.find(kHeaderTail);
    const std::size_t underscore = out.rfind('_', tail);
    out.replace(underscore + 1, tail - underscore - 1, std::to_string(*newNumber));
    const auto [begin, end] = lineStarting(out, format::kEventStart);
    if (begin != std::string::npos) {
      const std::size_t at = out.find(format::kEventRoom, begin) + format::kEventRoom.size();
      const std::size_t stop = out.find(format::kEventText, at);
      out.replace(at, stop - at, std::to_string(*newNumber));
    }
  }
  const auto [begin, end] = lineStarting(out, format::kLinksStart);
  if (begin == std::string::npos) return;
  Exits exits;
  exits.fill(kNoExit);
  scanLinks(std::string_view(out).substr(begin, end - begin), exits);
  bool changed = false;
  for (int slot = 1; slot <= kExitCount; ++slot) {
    int& exit = exits[static_cast<std::size_t>(slot)];
    const int led = lead(slot, exit);
    changed = changed || led != exit;
    exit = led;
  }
  if (!changed) return;
  std::string line;
  appendLinksLine(line, exits);
  const std::string_view ending = lineEnd(std::string_view(out).substr(begin, end - begin));
  line.pop_back();
  line += ending;
  out.replace(begin, end - begin, line);
}

// A row's function name given another number: the rest of the row stays.
void renameRow(std::string_view row, int newNumber, std::string& out) {
  const std::string_view name = rowFunctionName(row);
  std::string_view region, digits;
  splitFunctionName(name, region, digits);
  out = functionName(region, newNumber);
  out.append(row.substr(name.size()));
}

bool isWriters(const World& world, std::size_t record) {
  return (world.recordFlags(record) & (World::kWriters | World::kCrLfWriters)) != 0;
}

// The exits of the world that lead to the rooms of `rooms` (numbers some
// record has): by record, the slots (bits 1 << slot).
std::vector<std::pair<std::size_t, std::uint16_t>> exitsInto(const World& world,
                                                             const std::vector<bool>& numbered,
                                                             RoomRange range) {
  const AreaGraph& graph = world.graph();
  std::vector<std::pair<std::size_t, std::uint16_t>> found;
  for (std::size_t record = 0; record < graph.size(); ++record) {
    std::uint16_t slots = 0;
    for (int slot = 1; slot <= kExitCount; ++slot) {
      const int exit = graph.exit(record, slot);
      if (exit == kNoExit || exit < range.first || exit > range.last) continue;
      if (numbered[static_cast<std::size_t>(static_cast<long long>(exit) - range.first)]) {
        slots = static_cast<std::uint16_t>(slots | (1u << slot));
      }
    }
    if (slots != 0) found.emplace_back(record, slots);
  }
  return found;
}

// Which numbers of the range some record has.
std::vector<bool> numbersHeld(const World& world, const std::vector<std::size_t>& rooms,
                              RoomRange range) {
  std::vector<bool> held(
      static_cast<std::size_t>(static_cast<long long>(range.last) - range.first + 1), false);
  for (const std::size_t record : rooms)
    held[static_cast<std::size_t>(static_cast<long long>(world.graph().number(record)) -
                                  range.first)] = true;
  return held;
}

void sortMessages(std::vector<ChangeMessage>& messages) {
  std::stable_sort(messages.begin(), messages.end(),
                   [](const ChangeMessage& a, const ChangeMessage& b) {
                     return a.file != b.file ? a.file < b.file : a.line < b.line;
                   });
}

std::string exitWord(int slot) {
  return std::string(exitSlot(slot).word);
}

}  // namespace

ChangeOutcome renumberRooms(const World& world, RoomRange range, int newFirst, WorldEdit& edit) {
  const std::vector<std::size_t> moved = roomsIn(world, range);
  if (moved.empty()) return refuse(rangeText(range));
  const long long delta = static_cast<long long>(newFirst) - range.first;
  if (static_cast<long long>(range.last) + delta > INT_MAX ||
      static_cast<long long>(range.first) + delta < INT_MIN) {
    return refuse("the new numbers would lie beyond the range of int");
  }
  const AreaGraph& graph = world.graph();
  // Taken by value: the rewrites run when the edit is applied.
  const auto newNumberOf = [delta](int number) { return static_cast<int>(number + delta); };
  for (const std::size_t record : moved) {
    const int number = graph.number(record);
    const int to = newNumberOf(number);
    if (to < range.first || to > range.last) {
      if (const std::size_t other = world.findNumber(to); other != World::kNone) {
        std::string said;
        appendText(said, "room ", number, " cannot become room ", to, ": room ", to, " at ",
                   placeOf(world, other), " has that number");
        return refuse(said);
      }
    }
  }
  std::vector<bool> marked(world.records(), false);
  for (const std::size_t record : moved) {
    marked[record] = true;
    std::string_view region;
    std::string text;
    if (!isWriters(world, record)) {
      text = world.recordText(record);
      const RecordLines lines{text};
      if (!lines.headerIsWriters(region) || !lines.eventIsWriters()) {
        std::string said;
        appendText(said, "room ", graph.number(record),
                   ": the record is not as the room writer writes it where its number stands; "
                   "change it by hand");
        return refuse(said, record);
      }
    }
    std::string_view digits;
    splitFunctionName(world.recordName(record), region, digits);
    const std::string name = functionName(region, newNumberOf(graph.number(record)));
    if (const auto id = world.names().find(name)) {
      const RowMatching& matching = world.matching();
      for (std::size_t other = 0; other < matching.records(); ++other) {
        if (matching.recordName(other) == *id && !marked[other] &&
            (graph.number(other) < range.first || graph.number(other) > range.last)) {
          return refuse("the function name " + name + " would be taken twice (it is at " +
                        placeOf(world, other) + ")");
        }
      }
    }
  }
  const std::vector<bool> numbered = numbersHeld(world, moved, range);
  const auto leads = [range, numbered](int exit) {
    return exit != kNoExit && exit >= range.first && exit <= range.last &&
           numbered[static_cast<std::size_t>(static_cast<long long>(exit) - range.first)];
  };
  ChangeOutcome outcome;
  const auto holders = exitsInto(world, numbered, range);
  for (const auto& [record, slots] : holders) {
    marked[record] = true;
    if (isWriters(world, record)) continue;
    const std::string text = world.recordText(record);
    if (!RecordLines{text}.linksAreWriters()) {
      std::string said;
      appendText(said, "room ", graph.number(record),
                 ": the links line is not as the room writer writes it; its exits to the rooms "
                 "renumbered cannot follow them");
      return refuse(said, record);
    }
  }
  // The notes, in file order: each room moved, then the exits it holds
  // that follow.
  std::size_t next = 0;
  for (std::size_t record = 0; record < world.records(); ++record) {
    const bool isMoved = std::binary_search(moved.begin(), moved.end(), record);
    const int number = isMoved ? newNumberOf(graph.number(record)) : graph.number(record);
    const std::size_t file = world.fileIndexOfRecord(record);
    if (isMoved) {
      std::string said;
      appendText(said, "room ", number, " was room ", graph.number(record));
      outcome.messages.push_back({file, world.recordLine(record), false, "", std::move(said)});
    }
    while (next < holders.size() && holders[next].first < record)
      ++next;
    if (next < holders.size() && holders[next].first == record) {
      for (const int slot : kShownOrder) {
        if ((holders[next].second & (1u << slot)) == 0) continue;
        std::string said;
        appendText(said, "room ", number, ": the ", exitWord(slot), " exit now leads to room ",
                   newNumberOf(graph.exit(record, slot)));
        outcome.messages.push_back({file, world.recordLine(record), false, "", std::move(said)});
        ++outcome.exits;
      }
    }
  }
  outcome.rooms = moved.size();
  // The steps: each record marked written again as it is copied, and the
  // rows of the rooms moved given their new names.
  const World* w = &world;
  auto movedSet = std::make_shared<std::vector<bool>>(world.records(), false);
  for (const std::size_t record : moved)
    (*movedSet)[record] = true;
  edit.rewriteRecords(
      std::move(marked), [w, movedSet, newNumberOf, leads](
                             std::size_t record, std::string_view text, std::string& out) {
        const int to = newNumberOf(w->graph().number(record));
        const auto lead = [&](int, int exit) { return leads(exit) ? newNumberOf(exit) : exit; };
        rewriteRecord(text, isWriters(*w, record), (*movedSet)[record] ? &to : nullptr, lead, out);
      });
  std::vector<bool> rows(world.rows(), false);
  auto rowNumbers = std::make_shared<std::vector<int>>(world.rows(), 0);
  for (const std::size_t record : moved) {
    const std::size_t row = world.rowOf(record);
    if (row == World::kNone) continue;
    rows[row] = true;
    (*rowNumbers)[row] = newNumberOf(graph.number(record));
  }
  edit.rewriteRows(std::move(rows),
                   [rowNumbers](std::size_t row, std::string_view text, std::string& out) {
                     renameRow(text, (*rowNumbers)[row], out);
                   });
  sortMessages(outcome.messages);
  return outcome;
}

ChangeOutcome deleteRooms(const World& world, RoomRange range, bool keepExits, WorldEdit& edit) {
  const std::vector<std::size_t> deleted = roomsIn(world, range);
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
  std::vector<bool> marked(world.records(), false);
  for (const std::size_t record : deleted)
    marked[record] = true;
  const std::vector<bool> numbered = numbersHeld(world, deleted, range);
  std::vector<std::pair<std::size_t, std::uint16_t>> holders;
  for (const auto& held : exitsInto(world, numbered, range)) {
    if (!marked[held.first]) holders.push_back(held);
  }
  if (!keepExits) {
    for (const auto& [record, slots] : holders) {
      if (isWriters(world, record)) continue;
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
  // Lines after a deleted record move up by its lines.
  ChangeOutcome outcome;
  long long removedLines = 0;
  std::size_t file = World::kNone;
  std::size_t next = 0;
  for (std::size_t record = 0; record < world.records(); ++record) {
    if (world.fileIndexOfRecord(record) != file) {
      file = world.fileIndexOfRecord(record);
      removedLines = 0;
    }
    if (marked[record]) {
      removedLines += world.recordLineCount(record);
      continue;
    }
    while (next < holders.size() && holders[next].first < record)
      ++next;
    if (next == holders.size() || holders[next].first != record) continue;
    const long long line = world.recordLine(record) - removedLines;
    for (const int slot : kShownOrder) {
      if ((holders[next].second & (1u << slot)) == 0) continue;
      std::string said;
      const int number = graph.number(record), exit = graph.exit(record, slot);
      if (keepExits) {
        appendText(said, "room ", number, ": the ", exitWord(slot), " exit to room ", exit,
                   " is kept, though no room has that number now");
        outcome.messages.push_back({file, line, true, "kept-exit", std::move(said)});
      } else {
        appendText(said, "room ", number, ": the ", exitWord(slot), " exit to room ", exit,
                   " is removed");
        outcome.messages.push_back({file, line, false, "", std::move(said)});
      }
      ++outcome.exits;
    }
  }
  outcome.rooms = deleted.size();
  const World* w = &world;
  auto deletedSet = std::make_shared<std::vector<bool>>(marked);
  if (!keepExits) {
    for (const auto& held : holders)
      marked[held.first] = true;
  }
  const auto leadsIn = [range, numbered](int exit) {
    return exit != kNoExit && exit >= range.first && exit <= range.last &&
           numbered[static_cast<std::size_t>(static_cast<long long>(exit) - range.first)];
  };
  edit.rewriteRecords(
      std::move(marked),
      [w, deletedSet, leadsIn](std::size_t record, std::string_view text, std::string& out) {
        out.clear();
        if ((*deletedSet)[record]) return;  // the record goes, its blank line with it
        const auto lead = [&](int, int exit) { return leadsIn(exit) ? kNoExit : exit; };
        rewriteRecord(text, isWriters(*w, record), nullptr, lead, out);
      });
  std::vector<bool> rows(world.rows(), false);
  for (const std::size_t record : deleted) {
    if (const std::size_t row = world.rowOf(record); row != World::kNone) rows[row] = true;
  }
  edit.rewriteRows(std::move(rows),
                   [](std::size_t, std::string_view, std::string& out) { out.clear(); });
  sortMessages(outcome.messages);
  return outcome;
}

ChangeOutcome copyRooms(const World& world, RoomRange range, int newFirst, bool withExits,
                        WorldEdit& edit) {
  const std::vector<std::size_t> originals = roomsIn(world, range);
  if (originals.empty()) return refuse(rangeText(range));
  const long long delta = static_cast<long long>(newFirst) - range.first;
  if (static_cast<long long>(range.last) + delta > INT_MAX ||
      static_cast<long long>(range.first) + delta < INT_MIN) {
    return refuse("the new numbers would lie beyond the range of int");
  }
  const AreaGraph& graph = world.graph();
  const auto newNumberOf = [delta](int number) { return static_cast<int>(number + delta); };
  for (const std::size_t record : originals) {
    const int number = graph.number(record);
    if (!isWriters(world, record)) {
      std::string said;
      appendText(said, "room ", number,
                 ": the record is not as the room writer writes it; it is not copied");
      return refuse(said, record);
    }
    const int to = newNumberOf(number);
    if (const std::size_t other = world.findNumber(to); other != World::kNone) {
      std::string said;
      appendText(said, "room ", number, " cannot be copied to room ", to, ": room ", to, " at ",
                 placeOf(world, other), " has that number");
      return refuse(said);
    }
    std::string_view region, digits;
    splitFunctionName(world.recordName(record), region, digits);
    const std::string name = functionName(region, to);
    if (world.names().find(name)) {
      return refuse("the function name " + name + " would be taken twice");
    }
  }
  const std::vector<bool> numbered = numbersHeld(world, originals, range);
  const auto inRange = [range, numbered](int exit) {
    return exit != kNoExit && exit >= range.first && exit <= range.last &&
           numbered[static_cast<std::size_t>(static_cast<long long>(exit) - range.first)];
  };
  ChangeOutcome outcome;
  outcome.rooms = originals.size();
  // By room file: its originals, which are copied after the last of them.
  std::vector<std::vector<std::size_t>> byFile(world.files().size());
  for (const std::size_t record : originals)
    byFile[world.fileIndexOfRecord(record)].push_back(record);
  const World* w = &world;
  for (std::size_t file = 0; file < byFile.size(); ++file) {
    const std::vector<std::size_t>& copies = byFile[file];
    if (copies.empty()) continue;
    const std::size_t last = copies.back();
    long long line = world.recordLine(last) + world.recordLineCount(last);
    for (const std::size_t record : copies) {
      const int number = graph.number(record), to = newNumberOf(number);
      std::string said;
      appendText(said, "room ", to, " is a copy of room ", number);
      outcome.messages.push_back({file, line, false, "", std::move(said)});
      for (const int slot : kShownOrder) {
        const int exit = graph.exit(record, slot);
        if (!withExits || exit == kNoExit || inRange(exit)) continue;
        std::string warned;
        if (world.findNumber(exit) == World::kNone) {
          appendText(warned, "room ", to, ": the ", exitWord(slot), " exit to room ", exit,
                     " is left out of the copy: no room has that number");
          outcome.messages.push_back({file, line, true, "dropped-exit", std::move(warned)});
        } else {
          appendText(warned, "room ", to, ": the ", exitWord(slot), " exit to room ", exit,
                     " is one-way (room ", exit, " has no ", exitSlot(exitSlot(slot).opposite).word,
                     " exit back; link can add it)");
          outcome.messages.push_back({file, line, true, "one-way", std::move(warned)});
        }
        ++outcome.exits;
      }
      line += world.recordLineCount(record);
    }
    // The copies, made one at a time as the file is written.
    auto index = std::make_shared<std::size_t>(0);
    edit.generateAfterRecord(
        last, [w, copies, index, newNumberOf, inRange, withExits](std::string& out) {
          const std::size_t record = copies[*index];
          const std::string text = w->recordText(record);
          const int to = newNumberOf(w->graph().number(record));
          const auto lead = [&](int, int exit) {
            if (exit == kNoExit) return kNoExit;
            if (inRange(exit)) return newNumberOf(exit);
            return withExits && w->findNumber(exit) != World::kNone ? exit : kNoExit;
          };
          rewriteRecord(text, true, &to, lead, out);
          return ++*index < copies.size();
        });
  }
  // The rows: by data file, after the last row of the range in it.
  std::vector<std::vector<std::pair<std::size_t, int>>> rowsByFile(world.files().size());
  for (const std::size_t record : originals) {
    const std::size_t row = world.rowOf(record);
    if (row == World::kNone) continue;
    rowsByFile[world.fileIndexOfRow(row)].emplace_back(row, newNumberOf(graph.number(record)));
  }
  for (auto& rows : rowsByFile) {
    if (rows.empty()) continue;
    std::sort(rows.begin(), rows.end());
    auto index = std::make_shared<std::size_t>(0);
    const std::size_t last = rows.back().first;
    edit.generateAfterRow(last, [w, rows, index](std::string& out) {
      const auto [row, to] = rows[*index];
      renameRow(w->rowText(row), to, out);
      return ++*index < rows.size();
    });
  }
  sortMessages(outcome.messages);
  return outcome;
}

}  // namespace rb
