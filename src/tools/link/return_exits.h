// `roombuilder link`: the way back of every exit that has none. For every
// exit of a room A in direction d to another room B whose exit the opposite
// way is -1, B gets that exit, leading to A. Left as they are, each with a
// warning that says why: B's exit the opposite way leads to another room;
// two or more rooms would need the same exit of B (none gets it); B's record
// is not as the room writer writes it (it is not rewritten); B is a room no
// file has (check's error, which no way back can mend); A is room -1, to
// which no exit can lead (-1 is no exit). The one-way exits a
// baseline knows are left alone without a word (they are meant to be).
#pragma once

#include <cstdint>
#include <vector>

#include "files/output_stream.h"
#include "tools/check/check_options.h"
#include "world/world.h"
#include "world/world_edit.h"

namespace rb {

// An exit a room gets: `slot` of record `record`, leading to `destination`.
struct ReturnExit {
  std::uint32_t record;
  std::uint8_t slot;
  int destination;
};

// A one-way exit left as it is: record `record`'s exit in `slot`.
struct OneWayLeft {
  enum class Why : std::uint8_t {
    LeadsElsewhere,
    NeededByMore,
    NotWriters,
    NoSuchRoom,
    ToMinusOne
  };
  std::uint32_t record;
  std::uint8_t slot;
  Why why;
  int other;  // where B's exit leads (LeadsElsewhere), how many rooms need it (NeededByMore)
};

struct LinkPlan {
  std::vector<ReturnExit> added;  // by record, then in the order the walk shows exits
  std::vector<OneWayLeft> left;   // likewise
};

// What `link` would do to the world; the baseline's one-way exits are taken
// from it.
LinkPlan planReturnExits(const World& world, Baseline* baseline);

// The steps that add the planned exits: each record that gets one has its
// links line changed.
void addReturnExits(const LinkPlan& plan, WorldEdit& edit);

// The notes on what is added (at the line of the room that gets the exit)
// and the warnings on what is left (at the line of the room whose exit it
// is), in file order, then the summary line.
void reportLinks(const World& world, const LinkPlan& plan, OutputStream& out);

}  // namespace rb
