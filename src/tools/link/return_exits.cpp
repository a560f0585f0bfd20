#include "tools/link/return_exits.h"

#include <algorithm>

#include "base/text_append.h"
#include "format/exit_slot.h"
#include "tools/check/world_check.h"

namespace rb {

namespace {

// A way back some room would give room `to`: its exit in `slot`, to the
// room of record `from`, whose exit in `fromSlot` leads to `to`.
struct Candidate {
  std::uint32_t to;
  std::uint8_t slot;
  std::uint32_t from;
  std::uint8_t fromSlot;
};

// The order of a record's exits: by record, then as the walk shows them.
template <class Entry>
bool walkOrder(const Entry& a, const Entry& b) {
  if (a.record != b.record) return a.record < b.record;
  return exitSlot(a.slot).shown < exitSlot(b.slot).shown;
}

}  // namespace

LinkPlan planReturnExits(const World& world, Baseline* baseline) {
  const AreaGraph& graph = world.graph();
  LinkPlan plan;
  std::vector<Candidate> candidates;
  // As many as there are exits whose way back is missing: counted first, so
  // that the list takes no more room than it needs.
  std::size_t missing = 0;
  for (std::size_t from = 0; from < graph.size(); ++from) {
    for (int slot = 1; slot <= kExitCount; ++slot) {
      const int destination = graph.exit(from, slot);
      if (destination == kNoExit || destination == graph.number(from)) continue;
      const std::size_t to = graph.find(destination);
      missing += to != AreaGraph::kNone && graph.exit(to, exitSlot(slot).opposite) == kNoExit;
    }
  }
  candidates.reserve(missing);
  for (std::size_t from = 0; from < graph.size(); ++from) {
    const int number = graph.number(from);
    for (const int slot : kShownOrder) {
      const int destination = graph.exit(from, slot);
      if (destination == kNoExit || destination == number) continue;
      const std::size_t to = graph.find(destination);
      if (to == AreaGraph::kNone) {
        // No way back can be written into a room no file has.
        plan.left.push_back({static_cast<std::uint32_t>(from), static_cast<std::uint8_t>(slot),
                             OneWayLeft::Why::NoSuchRoom, 0});
        continue;
      }
      const int back = exitSlot(slot).opposite;
      const int leads = graph.exit(to, back);
      if (leads == number && number != kNoExit) continue;  // two-way already
      // A one-way exit the baseline knows is meant to be one.
      if (baseline &&
          baseline->take(warningText(WarningKind::OneWay, oneWayExit(number, slot, destination)))) {
        continue;
      }
      const auto record = static_cast<std::uint32_t>(from);
      const auto exit = static_cast<std::uint8_t>(slot);
      if (number == kNoExit) {
        plan.left.push_back({record, exit, OneWayLeft::Why::ToMinusOne, 0});
      } else if (leads != kNoExit) {
        plan.left.push_back({record, exit, OneWayLeft::Why::LeadsElsewhere, leads});
      } else {
        candidates.push_back(
            {static_cast<std::uint32_t>(to), static_cast<std::uint8_t>(back), record, exit});
      }
    }
  }
  // Each exit of a room that would lead back to one room only is added.
  // Mostly in order already: a room's way back is asked for by the room
  // before or after it.
  const auto byRoomAndSlot = [](const Candidate& a, const Candidate& b) {
    if (a.to != b.to) return a.to < b.to;
    return a.slot != b.slot ? a.slot < b.slot : a.from < b.from;
  };
  if (!std::is_sorted(candidates.begin(), candidates.end(), byRoomAndSlot)) {
    std::sort(candidates.begin(), candidates.end(), byRoomAndSlot);
  }
  std::size_t singles = 0;
  for (std::size_t k = 0; k < candidates.size(); ++k) {
    const bool alone = (k == 0 || candidates[k - 1].to != candidates[k].to ||
                        candidates[k - 1].slot != candidates[k].slot) &&
                       (k + 1 == candidates.size() || candidates[k + 1].to != candidates[k].to ||
                        candidates[k + 1].slot != candidates[k].slot);
    singles += alone ? 1 : 0;
  }
  plan.added.reserve(singles);
  for (std::size_t first = 0; first < candidates.size();) {
    std::size_t end = first + 1;
    while (end < candidates.size() && candidates[end].to == candidates[first].to &&
           candidates[end].slot == candidates[first].slot) {
      ++end;
    }
    const Candidate& only = candidates[first];
    if (end - first > 1) {
      for (std::size_t k = first; k < end; ++k) {
        plan.left.push_back({candidates[k].from, candidates[k].fromSlot,
                             OneWayLeft::Why::NeededByMore, static_cast<int>(end - first)});
      }
    } else if ((world.recordFlags(only.to) & World::kWriters) == 0) {
      plan.left.push_back({only.from, only.fromSlot, OneWayLeft::Why::NotWriters, 0});
    } else {
      plan.added.push_back({only.to, only.slot, graph.number(only.from)});
    }
    first = end;
  }
  if (!std::is_sorted(plan.added.begin(), plan.added.end(), walkOrder<ReturnExit>)) {
    std::sort(plan.added.begin(), plan.added.end(), walkOrder<ReturnExit>);
  }
  std::sort(plan.left.begin(), plan.left.end(), walkOrder<OneWayLeft>);
  return plan;
}

void addReturnExits(const LinkPlan& plan, WorldEdit& edit) {
  for (const ReturnExit& added : plan.added)
    edit.setExit(added.record, added.slot, added.destination);
}

void reportLinks(const World& world, const LinkPlan& plan, OutputStream& out) {
  const AreaGraph& graph = world.graph();
  auto added = plan.added.begin();
  auto left = plan.left.begin();
  for (const WorldFile& file : world.files()) {
    if (!file.rooms) continue;
    const std::string name = visible(file.name);
    for (std::size_t record = file.firstRecord; record < file.endRecord; ++record) {
      const long long line = world.recordLine(record);
      const int number = graph.number(record);
      for (; added != plan.added.end() && added->record == record; ++added) {
        out.print(name, ":", line, ": note: room ", number, ": ", exitSlot(added->slot).word,
                  " exit to room ", added->destination, " added\n");
      }
      for (; left != plan.left.end() && left->record == record; ++left) {
        const int destination = graph.exit(record, left->slot);
        const std::string_view back = exitSlot(exitSlot(left->slot).opposite).word;
        std::string why;
        switch (left->why) {
          case OneWayLeft::Why::LeadsElsewhere:
            appendText(why, "room ", destination, "'s ", back, " exit leads to room ", left->other);
            break;
          case OneWayLeft::Why::NeededByMore:
            appendText(why, left->other, " rooms would need room ", destination, "'s ", back,
                       " exit; none gets it");
            break;
          case OneWayLeft::Why::NotWriters:
            appendText(why, "room ", destination,
                       "'s record is not as the room writer writes it, so it is not rewritten");
            break;
          case OneWayLeft::Why::ToMinusOne:
            appendText(why, "no exit can lead back to room -1: an exit of -1 is no exit");
            break;
          case OneWayLeft::Why::NoSuchRoom:
            appendText(why, "no file has room ", destination, ": check reports it as an error");
            break;
        }
        std::string text;
        appendText(text, "room ", number, ": the ", exitSlot(left->slot).word, " exit to room ",
                   destination, " is one-way (", why, ")");
        out.print(name, ":", line, ": ", warningText(WarningKind::OneWay, text), "\n");
      }
    }
  }
  out.print(counted(static_cast<long long>(plan.added.size()), "exit"), " added, ",
            counted(static_cast<long long>(plan.left.size()), "one-way exit"), " left.\n");
}

}  // namespace rb
