#include "tools/diff/world_diff.h"

#include <algorithm>
#include <array>
#include <climits>
#include <map>
#include <unordered_map>

#include "base/byte_hash.h"
#include "base/text_append.h"
#include "base/visible_text.h"
#include "format/room_record.h"
#include "tools/show/room_text.h"

namespace rb {

namespace {

constexpr std::size_t kNone = World::kNone;

enum class Kind { Changed, Added, Removed, Moved, Renumbered };

struct Block {
  Block(Kind k, int n, std::size_t a, std::size_t b) : kind(k), number(n), before(a), after(b) {}

  Kind kind;
  int number;          // the room's number (the old one when removed)
  std::size_t before;  // its record on each side, or kNone
  std::size_t after;
  int oldNumber = 0;  // renumbered
  int followers = 0;  // renumbered: exits that followed it
  std::string lines;  // the field lines
};

// The records of a world in order of their numbers (and of the records).
std::vector<std::uint32_t> byNumber(const World& world) {
  std::vector<std::uint32_t> order(world.records());
  for (std::size_t k = 0; k < order.size(); ++k)
    order[k] = static_cast<std::uint32_t>(k);
  const AreaGraph& graph = world.graph();
  std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    return graph.number(a) < graph.number(b);
  });
  return order;
}

bool writers(const World& world, std::size_t record) {
  return (world.recordFlags(record) & (World::kWriters | World::kCrLfWriters)) != 0;
}

std::optional<RowView> rowView(const World& world, std::size_t record) {
  const std::size_t row = world.rowOf(record);
  if (row == kNone || (world.rowFlags(row) & (World::kWritersRow | World::kCrLfWritersRow)) == 0) {
    return std::nullopt;
  }
  return RowView{world.rowRegion(row), world.rowDark(row), world.rowTerrain(row)};
}

class Differ {
 public:
  Differ(const DiffSide& before, const DiffSide& after)
      : a_(before), b_(after), rows_(before.world.hasDataFile() && after.world.hasDataFile()) {}

  std::vector<Block> blocks() {
    pairUp();
    findRenumbered();
    describeChanges();
    std::vector<Block> all;
    for (Block& block : blocks_) {
      if (block.kind == Kind::Changed && block.lines.empty() && block.followers < 0) continue;
      all.push_back(std::move(block));
    }
    std::stable_sort(all.begin(), all.end(),
                     [](const Block& x, const Block& y) { return x.number < y.number; });
    return all;
  }

 private:
  const World& A() const { return a_.world; }
  const World& B() const { return b_.world; }

  bool sameRows(std::size_t a, std::size_t b) const {
    if (!rows_) return true;
    const std::size_t ra = A().rowOf(a), rb = B().rowOf(b);
    if (ra == kNone || rb == kNone) return ra == rb;
    return A().rowHash(ra) == B().rowHash(rb);
  }

  // Rooms of one number paired, the k-th of the old side with the k-th of
  // the new; the rest are removed or added for now.
  void pairUp() {
    const std::vector<std::uint32_t> oa = byNumber(A()), ob = byNumber(B());
    std::size_t i = 0, j = 0;
    while (i < oa.size() || j < ob.size()) {
      const long long na = i < oa.size() ? A().graph().number(oa[i]) : LLONG_MAX;
      const long long nb = j < ob.size() ? B().graph().number(ob[j]) : LLONG_MAX;
      if (na < nb) {
        removed_.push_back(oa[i++]);
      } else if (nb < na) {
        added_.push_back(ob[j++]);
      } else {
        const std::size_t a = oa[i++], b = ob[j++];
        const bool sameFile =
            a_.keys[A().fileIndexOfRecord(a)] == b_.keys[B().fileIndexOfRecord(b)];
        if (sameFile && A().recordHash(a) == B().recordHash(b) && sameRows(a, b)) continue;
        Block block{sameFile ? Kind::Changed : Kind::Moved, static_cast<int>(nb), a, b};
        blocks_.push_back(std::move(block));
      }
    }
  }

  // A signature of a room less its number and exits: rooms of equal
  // signatures may be one room renumbered.
  std::uint64_t signature(const World& world, std::size_t record, WorkingRoom& room) const {
    room = world.room(record);
    WorkingRoom bare = room;
    bare.room = 0;
    bare.exitd.fill(kNoExit);
    std::string text = roomRecord(bare);
    if (rows_) {
      if (const auto row = rowView(world, record)) {
        appendText(text, "row ", row->region, " ", row->dark, " ", row->terrain);
      }
    }
    return hashBytes(text);
  }

  void findRenumbered() {
    std::unordered_multimap<std::uint64_t, std::size_t> removedBySignature;
    std::vector<WorkingRoom> removedRooms(removed_.size());
    for (std::size_t k = 0; k < removed_.size(); ++k) {
      if (!writers(A(), removed_[k])) continue;
      removedBySignature.emplace(signature(A(), removed_[k], removedRooms[k]), k);
    }
    std::vector<bool> taken(removed_.size(), false);
    struct Candidate {
      std::size_t removed, added;  // indexes into removed_ and added_
      WorkingRoom room;            // the added one
    };
    std::vector<Candidate> candidates;
    for (std::size_t k = 0; k < added_.size(); ++k) {
      if (!writers(B(), added_[k])) continue;
      WorkingRoom room;
      const auto [first, last] = removedBySignature.equal_range(signature(B(), added_[k], room));
      for (auto it = first; it != last; ++it) {
        if (taken[it->second]) continue;
        taken[it->second] = true;
        candidates.push_back({it->second, k, std::move(room)});
        break;
      }
    }
    // Each candidate's exits must be its old ones, those to rooms renumbered
    // with it led to their new numbers; dropping one may fail another.
    for (bool dropped = true; dropped;) {
      dropped = false;
      renumbered_.clear();
      for (const Candidate& c : candidates) {
        renumbered_[A().graph().number(removed_[c.removed])] = B().graph().number(added_[c.added]);
      }
      for (auto it = candidates.begin(); it != candidates.end();) {
        const WorkingRoom& before = removedRooms[it->removed];
        bool same = true;
        for (int slot = 1; slot <= kExitCount && same; ++slot) {
          same = follows(before.exitd[static_cast<std::size_t>(slot)],
                         it->room.exitd[static_cast<std::size_t>(slot)]);
        }
        if (same) {
          ++it;
        } else {
          it = candidates.erase(it);
          dropped = true;
        }
      }
    }
    std::vector<bool> gone(removed_.size(), false), come(added_.size(), false);
    for (const Candidate& c : candidates) {
      gone[c.removed] = come[c.added] = true;
      Block block{Kind::Renumbered, B().graph().number(added_[c.added]), removed_[c.removed],
                  added_[c.added]};
      block.oldNumber = A().graph().number(removed_[c.removed]);
      blocks_.push_back(std::move(block));
    }
    for (std::size_t k = 0; k < removed_.size(); ++k) {
      if (!gone[k])
        blocks_.emplace_back(Kind::Removed, A().graph().number(removed_[k]), removed_[k], kNone);
    }
    for (std::size_t k = 0; k < added_.size(); ++k) {
      if (!come[k]) {
        blocks_.emplace_back(Kind::Added, B().graph().number(added_[k]), kNone, added_[k]);
      }
    }
  }

  // Whether an exit `before` is `after`, or followed a renumbered room.
  bool follows(int before, int after) const {
    if (before == after) return true;
    const auto found = renumbered_.find(before);
    return found != renumbered_.end() && found->second == after;
  }

  void describeChanges() {
    std::unordered_map<int, int> followers;  // new number -> exits that followed it
    for (Block& block : blocks_) {
      if (block.kind != Kind::Changed && block.kind != Kind::Moved) continue;
      const std::size_t a = block.before, b = block.after;
      if (!writers(A(), a) || !writers(B(), b)) {
        if (A().recordHash(a) != B().recordHash(b)) block.lines = "  text of the record differs\n";
        if (!sameRows(a, b)) block.lines += "  text of the row differs\n";
        continue;
      }
      const WorkingRoom before = A().room(a), after = B().room(b);
      std::optional<RowView> rowBefore, rowAfter;
      if (rows_) {
        rowBefore = rowView(A(), a);
        rowAfter = rowView(B(), b);
      }
      int followed = 0;
      const SkipExit skip = [&](int, int from, int to) {
        const bool follow = from != to && follows(from, to);
        followed += follow ? 1 : 0;
        if (follow) ++followers[to];
        return follow;
      };
      appendRoomChanges(block.lines, before, after, rowBefore, rowAfter, skip);
      if (rows_ && rowBefore.has_value() != rowAfter.has_value()) {
        block.lines += rowAfter ? "  data row added\n" : "  data row removed\n";
      } else if (rows_ && !rowBefore && !sameRows(a, b)) {
        block.lines += "  text of the row differs\n";
      }
      if (block.lines.empty() && followed == 0 && block.kind == Kind::Changed) {
        // The same fields in other bytes (line ends, say).
        block.lines = "  text of the record differs\n";
      }
      if (block.lines.empty() && block.kind == Kind::Changed) block.followers = -1;  // left out
    }
    for (Block& block : blocks_) {
      if (block.kind == Kind::Renumbered) block.followers = followers[block.number];
    }
    // The renumbered rooms' own exits to each other.
    for (Block& block : blocks_) {
      if (block.kind != Kind::Renumbered) continue;
      const WorkingRoom before = A().room(block.before);
      for (int slot = 1; slot <= kExitCount; ++slot) {
        const int exit = before.exitd[static_cast<std::size_t>(slot)];
        const auto found = renumbered_.find(exit);
        if (found == renumbered_.end()) continue;
        for (Block& target : blocks_) {
          if (target.kind == Kind::Renumbered && target.number == found->second) ++target.followers;
        }
      }
    }
  }

  const DiffSide& a_;
  const DiffSide& b_;
  bool rows_;
  std::vector<std::size_t> removed_, added_;
  std::vector<Block> blocks_;
  std::unordered_map<int, int> renumbered_;  // old number -> new
};

std::string place(const DiffSide& side, std::size_t record) {
  std::string text;
  appendHexEscaped(text, side.shown[side.world.fileIndexOfRecord(record)]);
  appendText(text, ":", side.world.recordLine(record));
  return text;
}

std::string shownFile(const DiffSide& side, std::size_t record) {
  std::string text;
  appendHexEscaped(text, side.shown[side.world.fileIndexOfRecord(record)]);
  return text;
}

void writeFirstLine(const DiffSide& a, const DiffSide& b, const Block& block, std::string& out) {
  switch (block.kind) {
    case Kind::Changed:
      appendText(out, "room ", block.number, " changed (", place(b, block.after), ")\n");
      break;
    case Kind::Added:
      appendText(out, "room ", block.number, " added (", place(b, block.after), ")\n");
      break;
    case Kind::Removed:
      appendText(out, "room ", block.number, " removed (was ", place(a, block.before), ")\n");
      break;
    case Kind::Moved:
      appendText(out, "room ", block.number, " moved from ", shownFile(a, block.before), " to ",
                 shownFile(b, block.after), " (", place(b, block.after), ")\n");
      break;
    case Kind::Renumbered:
      appendText(out, "room ", block.number, " renumbered from ", block.oldNumber, " (",
                 place(b, block.after), ")");
      if (block.followers > 0) {
        appendText(
            out, "; ", counted(block.followers, "exit"),
            block.followers == 1 ? " that led to it follows it" : " that led to it follow it");
      }
      out += "\n";
      break;
  }
}

}  // namespace

bool diffWorlds(const DiffSide& before, const DiffSide& after, DiffForm form, OutputStream& out) {
  const std::vector<Block> blocks = Differ(before, after).blocks();
  std::size_t counts[5] = {0, 0, 0, 0, 0};
  // By file, for --stat: changed, added, removed.
  std::map<std::string, std::array<std::size_t, 3>> byFile;
  for (const Block& block : blocks) {
    ++counts[static_cast<std::size_t>(block.kind)];
    if (form == DiffForm::Stat) {
      const bool removed = block.kind == Kind::Removed;
      const std::string file =
          removed ? shownFile(before, block.before) : shownFile(after, block.after);
      const std::size_t column = block.kind == Kind::Added ? 1 : removed ? 2 : 0;
      ++byFile[file][column];
      continue;
    }
    writeFirstLine(before, after, block, out.buffer());
    if (form == DiffForm::Full) out.buffer() += block.lines;
    out.print();
  }
  for (const auto& [file, count] : byFile)
    out.print(file, ": ", count[0], " changed, ", count[1], " added, ", count[2], " removed\n");
  // Text outside records, by file.
  std::map<std::string, std::pair<std::uint64_t, std::uint64_t>> other;
  std::map<std::string, std::string> names;
  for (std::size_t k = 0; k < before.world.files().size(); ++k) {
    other[before.keys[k]].first = before.world.files()[k].otherHash;
    names[before.keys[k]] = before.shown[k];
  }
  for (std::size_t k = 0; k < after.world.files().size(); ++k) {
    other[after.keys[k]].second = after.world.files()[k].otherHash;
    names[after.keys[k]] = after.shown[k];
  }
  bool otherDiffers = false;
  for (const auto& [key, hashes] : other) {
    if (hashes.first == hashes.second) continue;
    otherDiffers = true;
    out.print("other text of ");
    appendHexEscaped(out.buffer(), names[key]);
    out.print(" differs\n");
  }
  out.print(counted(static_cast<long long>(counts[0]), "room"), " changed, ", counts[1], " added, ",
            counts[2], " removed, ", counts[3], " moved, ", counts[4], " renumbered.\n");
  return !blocks.empty() || otherDiffers;
}

}  // namespace rb
