// Reading a world with the records of its room files parsed on a second
// thread gives the very world a reading on one thread gives: every record's
// place, flags, number, exits and name, every room the visitor sees, in
// order, across batches, on files of every kind.
#include <gtest/gtest.h>

#include <random>

#include "format/room_record.h"
#include "room_generator.h"
#include "test_support.h"
#include "world/world.h"
#include "world_texts.h"

namespace rb {
namespace {

// What a reading saw and kept, written out to compare.
std::string describe(const World& world, const std::vector<std::string>& visited) {
  std::string out;
  for (const WorldFile& file : world.files()) {
    out += file.name + " " + std::to_string(file.firstRecord) + "-" +
           std::to_string(file.endRecord) + " lines " + std::to_string(file.lines) + " crlf " +
           std::to_string(file.crlfLine) + " other " + std::to_string(file.otherHash) + "\n";
  }
  for (std::size_t r = 0; r < world.records(); ++r) {
    out += std::to_string(r) + ": line " + std::to_string(world.recordLine(r)) + " at " +
           std::to_string(world.recordOffset(r)) + "+" + std::to_string(world.recordLength(r)) +
           " flags " + std::to_string(world.recordFlags(r)) + " hash " +
           std::to_string(world.recordHash(r)) + " name " + std::string(world.recordName(r)) +
           " row " + std::to_string(world.rowOf(r)) + " number " +
           std::to_string(world.graph().number(r)) + " exits";
    for (int slot = 1; slot <= kExitCount; ++slot) {
      out += " " + std::to_string(world.graph().exit(r, slot));
      if ((world.outOfRangeExits(r) & (1u << slot)) != 0)
        out += "=" + std::string(world.outOfRangeNumber(r, slot));
    }
    out += "\n";
  }
  for (const std::string& seen : visited)
    out += seen;
  return out;
}

TEST(WorldReader, RecordsParsedBesideTheReadingMakeTheSameWorld) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    test::TempDir dir;
    test::RoomGenerator generator(seed);
    std::mt19937 random(seed);
    // Enough records for several batches; the writer's own, hand-edited
    // ones, CR LF ones, numbers beyond int, a prologue.
    std::string lf = "/* the town */\n#include \"std.h\"\n\n", crlf, rows;
    for (int k = 0; k < 1300; ++k) {
      const WorkingRoom room = generator.room();
      std::string record = roomRecord(room);
      switch (random() % 8) {
        case 0:
          record.insert(record.find('\n') + 1, "  /* moved by hand */\n");
          break;
        case 1: {
          const std::size_t links = record.find("int links[]={ ") + 14;
          record.replace(links, record.find(',', links) - links, "99999999999");
          break;
        }
        case 2:
          crlf += test::withCrLf(record);
          continue;
      }
      lf += record;
      rows += test::worldRow(room);
    }
    const std::vector<std::string> names = {dir.file("town.c"), dir.file("crlf.c"),
                                            dir.file("town.dat")};
    test::writeFile(names[0], lf);
    test::writeFile(names[1], crlf);
    test::writeFile(names[2], rows);
    std::string worlds[2];
    for (const long long from : {0LL, 1LL << 40}) {
      std::vector<std::string> visited;
      WorldReading reading;
      reading.hashes = true;
      reading.visitor = [&](std::size_t record, const WorkingRoom& room, const RecordText& text) {
        visited.push_back(std::to_string(record) + " " + std::to_string(text.line) + " " +
                          std::to_string(text.offset) + " " + std::string(text.function) + "\n" +
                          roomRecord(room) + std::string(text.text));
      };
      reading.parseBesideFrom = from;
      World world;
      world.read(names, reading);
      worlds[from == 0 ? 0 : 1] = describe(world, visited);
    }
    ASSERT_GT(worlds[0].size(), lf.size());
    EXPECT_EQ(worlds[0], worlds[1]) << seed;
  }
}

}  // namespace
}  // namespace rb
