// Renumbering, deleting and copying rooms on generated worlds: undone, each
// gives back every byte, and no change brings an error check did not
// report before.
#include "world/room_changes.h"

#include <gtest/gtest.h>

#include <random>

#include "files/output_stream.h"
#include "format/data_row.h"
#include "format/room_record.h"
#include "test_support.h"
#include "tools/check/world_check.h"
#include "world_texts.h"

namespace rb {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

// Two room files of rooms 1..n (some numbers left out, some twice in
// another region), a data file with a row for each, exits at random (to
// rooms, to numbers no room has, across the files) and a hand-edited record.
struct Generated {
  std::vector<std::string> names;
  std::vector<std::string> texts;

  Generated(unsigned seed, const TempDir& dir) {
    std::mt19937 random(seed);
    const auto pick = [&](int low, int high) {
      return std::uniform_int_distribution<int>(low, high)(random);
    };
    const int rooms = pick(5, 40);
    std::string a, b, rows;
    for (int n = 1; n <= rooms; ++n) {
      if (pick(0, 6) == 0) continue;
      WorkingRoom room =
          test::worldRoom(n, "Room " + std::to_string(n), {}, pick(0, 1) ? "a" : "b");
      for (int slot = 1; slot <= kExitCount; ++slot) {
        if (pick(0, 3) == 0) room.exitd[static_cast<std::size_t>(slot)] = pick(1, rooms + 3);
      }
      if (pick(0, 3) == 0) {
        room.t = 0.5f;
        room.randtext = "A bell.";
      }
      std::string record = roomRecord(room);
      if (n == rooms && pick(0, 1))
        record.replace(record.find("OBJECT user;"), 12, "OBJECT  user;");
      (pick(0, 1) ? a : b) += record;
      rows += test::worldRow(room);
    }
    for (const auto& [name, text] : {std::pair<std::string, std::string>{"a.c", a},
                                     {"b.c", b},
                                     {"w.dat", "/* rows */\n" + rows}}) {
      names.push_back(dir.file(name));
      texts.push_back(text);
      writeFile(names.back(), text);
    }
  }

  std::vector<std::string> now() const {
    std::vector<std::string> all;
    for (const std::string& name : names)
      all.push_back(readFile(name));
    return all;
  }
};

// As the commands read it: names of the range only (`names` false), or as
// a dialogue does, every name.
World readWorld(const std::vector<std::string>& names, RoomRange range, bool allNames) {
  World world;
  WorldReading reading = changeReading(range, false);
  reading.names = allNames;
  world.read(names, reading);
  return world;
}

int errorsOf(const std::vector<std::string>& names) {
  World world;
  world.read(names);
  CheckOptions options;
  options.enabled.fill(false);
  OutputStream out(-1);
  return checkWorld(world, options, {}, 0, out).errors;
}

// Plans with `plan` and applies it; false when it was refused.
template <class Plan>
bool change(const std::vector<std::string>& names, RoomRange range, const Plan& plan) {
  static bool allNames = false;
  allNames = !allNames;  // every other change reads every name
  World world = readWorld(names, range, allNames);
  WorldEdit edit(world);
  if (plan(world, edit).refused) return false;
  EXPECT_EQ(edit.apply().status, EditOutcome::Status::Done);
  return true;
}

TEST(RoomChanges, UndoneEachGivesBackEveryByteAndNoNewError) {
  int renumbered = 0, copied = 0;
  for (unsigned seed = 1; seed <= 80; ++seed) {
    TempDir dir;
    const Generated world(seed, dir);
    const int errors = errorsOf(world.names);
    const RoomRange range{3, 9};
    // Renumbered by k and back.
    const int k = 1000 + static_cast<int>(seed);
    if (change(world.names, range, [&](const World& w, WorldEdit& e) {
          return renumberRooms(w, range, range.first + k, e);
        })) {
      EXPECT_EQ(errorsOf(world.names), errors) << seed;
      // Every other time by a range far wider than its rooms, which holds
      // their numbers sorted rather than a bit for each number.
      const RoomRange moved{range.first + k, seed % 2 == 0 ? range.last + k : 2000000000};
      ASSERT_TRUE(change(world.names, moved, [&](const World& w, WorldEdit& e) {
        return renumberRooms(w, moved, range.first, e);
      })) << seed;
      EXPECT_EQ(world.now(), world.texts) << seed;
      ++renumbered;
    } else {
      EXPECT_EQ(world.now(), world.texts) << seed;  // refused: nothing changed
    }
    // Copied, then the copies deleted.
    if (change(world.names, range, [&](const World& w, WorldEdit& e) {
          return copyRooms(w, range, 500, seed % 2 == 0, e);
        })) {
      EXPECT_EQ(errorsOf(world.names), errors) << seed;
      const RoomRange copies{500, 500 + range.last - range.first};
      ASSERT_TRUE(change(world.names, copies, [&](const World& w, WorldEdit& e) {
        return deleteRooms(w, copies, false, e);
      })) << seed;
      EXPECT_EQ(world.now(), world.texts) << seed;
      ++copied;
    } else {
      EXPECT_EQ(world.now(), world.texts) << seed;
    }
    // Deleted: no exit is left dangling, no row without its room.
    if (change(world.names, range,
               [&](const World& w, WorldEdit& e) { return deleteRooms(w, range, false, e); })) {
      EXPECT_LE(errorsOf(world.names), errors) << seed;
    }
  }
  EXPECT_GT(renumbered, 20);
  EXPECT_GT(copied, 20);
}

}  // namespace
}  // namespace rb
