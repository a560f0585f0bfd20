// `roombuilder check` of a whole world, through the real executable: files
// of either kind in any order, what only a world shows, the -W flags and the
// baseline a world adopts the check with.
#include <gtest/gtest.h>
#include <rapidjson/document.h>
#include <sys/resource.h>

#include <set>

#include "test_support.h"
#include "world_texts.h"

namespace rb::test {
namespace {

class CheckCommand : public ::testing::Test {
 protected:
  RunResult check(const std::vector<std::string>& args) {
    std::vector<std::string> all = {"check"};
    all.insert(all.end(), args.begin(), args.end());
    return runBinary("", dir.path(), all);
  }
  void write(const std::string& name, const std::string& text) { writeFile(dir.file(name), text); }

  // Three areas: a (rooms 1-3), b (10, 11 and a second al_2), c (11 again
  // and 20). Room 1 and room 10 are joined across the files; a.dat holds the
  // row of b's room 11 as well as its own.
  void writeWorld() {
    write("a.c", roomRecord(worldRoom(1, "Gate", {{1, 2}, {3, 10}}, "a")) +  // line 1
                     roomRecord(worldRoom(2, "Yard", {{2, 1}}, "a")) +       // line 14
                     roomRecord(worldRoom(3, "Tower", {}, "a")));            // line 27
    write("b.c", roomRecord(worldRoom(10, "Road", {{4, 1}}, "b")) +          // line 1
                     roomRecord(worldRoom(11, "Inn", {}, "b")) +             // line 14
                     roomRecord(worldRoom(2, "Copy", {}, "a")));             // line 27
    write("c.c", roomRecord(worldRoom(11, "Stable", {}, "c")) +              // line 1
                     roomRecord(worldRoom(20, "Field", {{1, 99}}, "c")));    // line 14
    write("a.dat", worldRow(worldRoom(1, "", {}, "a")) + worldRow(worldRoom(2, "", {}, "a")) +
                       worldRow(worldRoom(3, "", {}, "a")) + worldRow(worldRoom(11, "", {}, "b")));
    write("b.dat", worldRow(worldRoom(10, "", {}, "b")));
  }

  TempDir dir;
};

TEST_F(CheckCommand, AWorldOfThreeAreas) {
  writeWorld();
  // A data file first, the others in no particular order.
  const RunResult result = check({"a.dat", "a.c", "b.c", "c.c", "b.dat"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out,
            "a.c:27: warning: room 3 cannot be reached from room 1 [-Wunreachable]\n"
            "b.c:14: warning: room 11 cannot be reached from room 1 [-Wunreachable]\n"
            "b.c:27: error: room 2: the function name al_2 is already used at a.c:14\n"
            "b.c:27: error: room 2 has no row in the data file\n"
            "c.c:1: error: room 11: the room number is already used at b.c:14\n"
            "c.c:1: error: room 11 has no row in the data file\n"
            "c.c:1: warning: room 11 cannot be reached from room 1 [-Wunreachable]\n"
            "c.c:14: error: room 20: the north exit leads to room 99, which no record has\n"
            "c.c:14: error: room 20 has no row in the data file\n"
            "c.c:14: warning: room 20 cannot be reached from room 1 [-Wunreachable]\n"
            "8 rooms, 5 exits: 6 errors, 4 warnings.\n");
  // One area alone: its exit into b is an exit to a room no record has, and
  // the row of b's room names none.
  const RunResult alone = check({"a.c", "a.dat"});
  EXPECT_EQ(alone.out,
            "a.c:1: error: room 1: the east exit leads to room 10, which no record has\n"
            "a.c:27: warning: room 3 cannot be reached from room 1 [-Wunreachable]\n"
            "a.dat:4: error: the row for bl_11 names no room of the room file\n"
            "3 rooms, 3 exits: 2 errors, 1 warning.\n");
  // Reachability from another room.
  const RunResult fromTen = check({"--start", "10", "a.c", "b.c"});
  EXPECT_EQ(fromTen.out.find("cannot be reached from room 1 "), std::string::npos);
  EXPECT_NE(fromTen.out.find("b.c:14: warning: room 11 cannot be reached from room 10"),
            std::string::npos);
}

TEST_F(CheckCommand, EachFilesKindComesFromWhatItHolds) {
  writeWorld();
  write("empty.c", "");
  write("notes.dat", "/* the town's rooms\n   come later */\n#define TOWN 1\n\n");
  write("prose.txt", "Rooms of the town\nby the builders\n");
  // An empty file is a room file without rooms; comments and blank lines
  // alone make a data file without rows.
  RunResult result = check({"notes.dat", "empty.c", "a.c", "b.dat", "b.c", "a.dat", "c.c"});
  EXPECT_EQ(result.status, 1);
  EXPECT_TRUE(endsWith(result.out, "8 rooms, 5 exits: 6 errors, 4 warnings.\n")) << result.out;
  result = check({"a.c", "prose.txt"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "roombuilder: prose.txt: neither room records nor data rows\n");
  // Text before the first record does not make a room file anything else.
  write("pro.c", "/* area a */\n" + test::readFile(dir.file("a.c")));
  result = check({"pro.c"});
  EXPECT_TRUE(endsWith(result.out, "3 rooms, 3 exits: 1 error, 1 warning.\n")) << result.out;
}

// Files saved by another system's editor: the same records and rows, one
// warning a file, not one a record or row for its line ends.
TEST_F(CheckCommand, CrLfLineEndsReadAsTheSameArea) {
  const WorkingRoom gate = worldRoom(1, "Gate", {{1, 2}}), yard = worldRoom(2, "Yard", {{2, 1}});
  write("t.c", withCrLf(roomRecord(gate) + roomRecord(yard)));
  write("t.dat", withCrLf(worldRow(gate) + worldRow(yard)));
  const RunResult result = check({"t.c", "t.dat"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "t.c:1: warning: line ends are CR LF [-Wcrlf]\n"
            "t.dat:1: warning: line ends are CR LF [-Wcrlf]\n"
            "2 rooms, 2 exits: 0 errors, 2 warnings.\n");

  EXPECT_TRUE(endsWith(check({"-Wno-crlf", "-Wno-not-writer", "t.c", "t.dat"}).out,
                       "2 rooms, 2 exits: 0 errors, 0 warnings.\n"));
  // A record that differs in more than its line ends still is not the writer's.
  std::string edited = withCrLf(roomRecord(gate) + roomRecord(yard));
  edited.replace(edited.find("OBJECT user;"), 12, "OBJECT  user;");
  write("t.c", edited);
  EXPECT_NE(check({"t.c", "t.dat"}).out.find("t.c:1: warning: room 1: the record is not as"),
            std::string::npos);
}

TEST_F(CheckCommand, WarningKindsCanBeTurnedOffAndCountAsErrors) {
  // A one-way exit, a room without a short name, a hand-edited record.
  std::string edited = roomRecord(worldRoom(3, "Shed", {}));
  edited.replace(edited.find("int links[]={ "), 14, "int links[] = { ");
  write("t.c", roomRecord(worldRoom(1, "Gate", {{1, 2}, {2, 3}})) +
                   roomRecord(worldRoom(2, "", {{9, 1}})) + edited);
  RunResult result = check({"t.c"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "t.c:1: warning: room 1: the north exit to room 2 is one-way (room 2 has no south "
            "exit back) [-Wone-way]\n"
            "t.c:1: warning: room 1: the south exit to room 3 is one-way (room 3 has no north "
            "exit back) [-Wone-way]\n"
            "t.c:14: warning: room 2: the up exit to room 1 is one-way (room 1 has no down exit "
            "back) [-Wone-way]\n"
            "t.c:14: warning: room 2 has no short name [-Wshort-name]\n"
            "t.c:27: warning: room 3: the record is not as the room writer writes it (key 3 "
            "copies it unchanged) [-Wnot-writer]\n"
            "3 rooms, 3 exits: 0 errors, 5 warnings.\n");
  result = check({"-Wno-one-way", "-Wno-not-writer", "t.c"});
  EXPECT_EQ(result.out,
            "t.c:14: warning: room 2 has no short name [-Wshort-name]\n"
            "3 rooms, 3 exits: 0 errors, 1 warning.\n");
  // -WKIND after -Wno-KIND turns it on again; -Werror fails on warnings.
  result =
      check({"-Wno-one-way", "-Wone-way", "-Wno-short-name", "-Wno-not-writer", "-Werror", "t.c"});
  EXPECT_EQ(result.status, 1);
  EXPECT_TRUE(endsWith(result.out, "3 rooms, 3 exits: 0 errors, 3 warnings.\n"));
  result = check({"-Werror", "-Wno-one-way", "-Wno-short-name", "-Wno-not-writer", "t.c"});
  EXPECT_EQ(result.status, 0);
  result = check({"-Wno-typos", "t.c"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err.rfind("roombuilder: check: unknown warning -Wno-typos\n", 0), 0u);
}

TEST_F(CheckCommand, ABaselineSurvivesMovedLinesAndLetsNewProblemsThrough) {
  writeWorld();
  const std::vector<std::string> world = {"a.c", "b.c", "c.c", "a.dat", "b.dat"};
  const RunResult first = check(world);
  write("known.txt", first.out);
  // The areas change: a comment moves every line of c.c, and room 3 of a
  // gets a one-way exit it did not have.
  write("a.c", roomRecord(worldRoom(1, "Gate", {{1, 2}, {3, 10}}, "a")) +
                   roomRecord(worldRoom(2, "Yard", {{2, 1}}, "a")) +
                   roomRecord(worldRoom(3, "Tower", {{9, 2}}, "a")));
  write("c.c", "/* area c,\n   rebuilt */\n" + test::readFile(dir.file("c.c")));
  std::vector<std::string> args = {"--baseline", "known.txt"};
  args.insert(args.end(), world.begin(), world.end());
  const RunResult next = check(args);
  EXPECT_EQ(next.status, 0);
  EXPECT_EQ(next.out,
            "a.c:27: warning: room 3: the up exit to room 2 is one-way (room 2 has no down exit "
            "back) [-Wone-way]\n"
            "8 rooms, 6 exits: 0 errors, 1 warning, 10 in the baseline.\n");
  // Only what the baseline knows, as many times as it knows it.
  write("known.txt", first.out + first.out);
  const RunResult same = check(args);
  EXPECT_TRUE(endsWith(same.out, "0 errors, 1 warning, 10 in the baseline.\n")) << same.out;
  EXPECT_EQ(check({"--baseline", "missing.txt", "a.c"}).err,
            "roombuilder: missing.txt: No such file or directory\n");
}

// The texts as players read them: the kinds can be turned off, count as
// errors and go into a baseline like any other; a word list accepts names;
// without its dictionary, check says so once and spells nothing.
TEST_F(CheckCommand, TextsAsPlayersReadThem) {
  WorkingRoom room = worldRoom(1, "Fountain of Krell", {});
  room.lines = 1;
  room.ldesc[0] = "A fountian stands here, the the water cold. ";
  room.ldesc[1] = std::string(80, '=');
  write("f.c", roomRecord(room));
  write("names.txt", "# names of the world\nDunmoor\n");
  const std::string texts =
      "f.c:8: warning: room 1: description line 1: blanks at the end [-Wspacing]\n"
      "f.c:8: warning: room 1: description line 1: 'the' twice in a row [-Wdoubled]\n";
  const std::string spelled =
      "f.c:8: warning: room 1: description line 1: 'fountian' is not in the dictionary "
      "(fountain, foundation?) [-Wspelling]\n";
  const std::string wide =
      "f.c:8: warning: room 1: description line 2: 80 columns wide, more than 79 [-Wwidth]\n";
  RunResult result = check({"f.c"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "f.c:8: warning: room 1: description line 1: blanks at the end [-Wspacing]\n" +
                spelled +
                "f.c:8: warning: room 1: description line 1: 'the' twice in a row "
                "[-Wdoubled]\n" +
                wide + "1 room, 0 exits: 0 errors, 4 warnings.\n");
  result = check({"-Wno-spelling", "-Wno-width", "-Werror", "f.c"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, texts + "1 room, 0 exits: 0 errors, 2 warnings.\n");
  // A dictionary named on purpose must be there (the default one's absence
  // is only a warning).
  result = check({"--dictionary=xx_XX", "--words", "names.txt", "f.c"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err.rfind("roombuilder: no dictionary xx_XX (installed: ", 0), 0u) << result.err;
  EXPECT_NE(result.err.find("en_US"), std::string::npos);
  write("known.txt", check({"f.c"}).out);
  room.ldesc[2] = "The gate of Dunmoor.";
  room.lines = 2;
  write("f.c", "/* moved */\n" + roomRecord(room));
  result = check({"--baseline", "known.txt", "f.c"});
  EXPECT_EQ(result.out,
            "f.c:9: warning: room 1: description line 3: 'Dunmoor' is not in the dictionary "
            "(Unmoor, D unmoor, Dun moor?) [-Wspelling]\n"
            "1 room, 0 exits: 0 errors, 1 warning, 4 in the baseline.\n");
  EXPECT_TRUE(endsWith(check({"--baseline", "known.txt", "--words", "names.txt", "f.c"}).out,
                       "0 errors, 0 warnings, 4 in the baseline.\n"));
}

#if !RB_SANITIZED
// A world of 200,000 rooms checks within 96 MiB of address space: what it
// keeps of a room is a hundred bytes or so, not the room. (The sanitizers
// reserve far more address space than that, whatever the program does.)
TEST_F(CheckCommand, ALargeWorldFitsInLittleMemory) {
  std::string rooms, rows;
  for (int number = 1; number <= 200000; ++number) {
    const WorkingRoom room =
        worldRoom(number, "Room " + std::to_string(number), {{1, number + 1}, {2, number - 1}});
    appendRoomRecord(rooms, room);
    rows += worldRow(room);
  }
  write("big.c", rooms);
  write("big.dat", rows);
  const RunResult result = runBinary("", dir.path(), {"check", "big.c", "big.dat"}, [] {
    struct rlimit limit = {96u << 20, 96u << 20};
    setrlimit(RLIMIT_AS, &limit);
  });
  EXPECT_EQ(result.status, 1) << result.err;  // the chain's ends lead to rooms 0 and 200001
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(endsWith(result.out, "200000 rooms, 400000 exits: 2 errors, 0 warnings.\n"))
      << result.out.substr(0, 500);
}
#endif

// What a review found, each on a small world, exact diagnostics: backups
// and temporary files left out, copied rooms, an empty region name, numbers
// beyond int, room -1, huge option files and words.
TEST_F(CheckCommand, BackupsAndTemporaryFilesAreLeftOut) {
  const std::string area = roomRecord(worldRoom(1, "Gate", {}));
  for (const char* name : {"a.c", "a.c~", "a.c.~1~", "a.c.~12~", ".a.c.rb-x1Y2z3"})
    write(name, area);
  const std::vector<std::string> all = {"a.c", "a.c~", "a.c.~1~", "a.c.~12~", ".a.c.rb-x1Y2z3"};
  RunResult result = check(all);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "3 backup files left out (--include-backups to read them).\n");
  EXPECT_EQ(result.out, "1 room, 0 exits: 0 errors, 0 warnings.\n");
  result = check({"a.c", "a.c~"});
  EXPECT_EQ(result.err, "1 backup file left out (--include-backups to read them).\n");
  std::vector<std::string> included = {"--include-backups"};
  included.insert(included.end(), all.begin(), all.end());
  result = check(included);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(endsWith(result.out, "4 rooms, 0 exits: 3 errors, 3 warnings.\n")) << result.out;
  for (const char* command : {"map", "link"}) {
    result = runBinary("", dir.path(), {command, "a.c", "a.c.~1~"});
    EXPECT_EQ(result.status, 0) << command;
    EXPECT_EQ(result.err, "1 backup file left out (--include-backups to read them).\n");
  }
}

TEST_F(CheckCommand, CopiedRoomsEmptyRegionsAndNumbersThatAreNoRooms) {
  WorkingRoom copy = worldRoom(2, "Gate", {{2, 1}});
  copy.lines = 0;
  copy.ldesc[0] = "A gate.";
  WorkingRoom gate = copy;
  gate.room = 1;
  gate.exitd[2] = kNoExit;
  gate.exitd[1] = 2;
  WorkingRoom empty = worldRoom(100, "Hut", {}, "");
  // Room 7's north exit is beyond int: no exit, and an error.
  std::string beyond = roomRecord(worldRoom(7, "Cave", {}));
  beyond.replace(beyond.find("{ -1,"), 5, "{ 2147483648,");
  write("a.c", roomRecord(gate) + roomRecord(copy) + roomRecord(empty) + beyond);
  write("b.c", roomRecord(worldRoom(3, "Gate", {}, "b")));
  RunResult result = check({"-Wno-unreachable", "-Wno-not-writer", "a.c", "b.c"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out,
            "a.c:14: warning: room 2: the short name and description are those of room 1 "
            "(line 1) [-Wsame-text]\n"
            "a.c:27: warning: room 100: the function name l_100 has no region name [-Wregion]\n"
            "a.c:40: error: room 7: the north exit 2147483648 is not a room number\n"
            "5 rooms, 2 exits: 1 error, 2 warnings.\n");
  result = check({"-Wno-same-text", "-Wno-region", "-Wno-unreachable", "-Wno-not-writer", "a.c"});
  EXPECT_EQ(result.out,
            "a.c:40: error: room 7: the north exit 2147483648 is not a room number\n"
            "4 rooms, 2 exits: 1 error, 0 warnings.\n");
  // link leaves the exit that is none alone.
  result = runBinary("", dir.path(), {"link", "-n", "a.c"});
  EXPECT_EQ(result.out, "0 exits added, 0 one-way exits left.\n");
}

TEST_F(CheckCommand, RoomMinusOneIsReachedByNoExit) {
  // Room -1's north exit leads to room 7, whose south exit is -1: no exit,
  // so the first is one-way, and no way back can be written.
  write("a.c", roomRecord(worldRoom(7, "Hall", {})) + roomRecord(worldRoom(-1, "Odd", {{1, 7}})));
  RunResult result = check({"-Wno-not-writer", "a.c"});
  EXPECT_EQ(result.out,
            "a.c:14: warning: room -1: the north exit to room 7 is one-way (room 7 has no south "
            "exit back) [-Wone-way]\n"
            "a.c:14: warning: room -1 can be reached by no exit (an exit of -1 is no exit) "
            "[-Wunreachable]\n"
            "2 rooms, 1 exit: 0 errors, 2 warnings.\n");
  result = runBinary("", dir.path(), {"link", "-n", "a.c"});
  EXPECT_EQ(result.out,
            "a.c:14: warning: room -1: the north exit to room 7 is one-way (no exit can lead back "
            "to room -1: an exit of -1 is no exit) [-Wone-way]\n"
            "0 exits added, 1 one-way exit left.\n");
}

TEST_F(CheckCommand, OptionFilesThatNeverEndAndWordsTooLongToQuote) {
  write("a.c", roomRecord(worldRoom(1, "Gate", {})));
  for (const char* option : {"--baseline", "--words"}) {
    const RunResult result = check({option, "/dev/zero", "a.c"});
    EXPECT_EQ(result.status, 2) << option;
    EXPECT_EQ(result.err, "roombuilder: /dev/zero: too large to read\n");
  }
  // A hand-edited record with a word of 200 letters, twice: quoted cut.
  WorkingRoom room = worldRoom(2, "Hall", {});
  const std::string word(200, 'x');
  room.lines = 0;
  room.ldesc[0] = word + " " + word;
  std::string record = roomRecord(room);
  write("b.c", record);
  const RunResult result = check({"-Wno-width", "-Wno-spelling", "-Wno-not-writer", "b.c"});
  EXPECT_EQ(result.out, "b.c:8: warning: room 2: description line 1: '" + std::string(80, 'x') +
                            "...' twice in a row [-Wdoubled]\n"
                            "1 room, 0 exits: 0 errors, 1 warning.\n");
}

// The JSON forms say what the text form says: the same diagnostics, kinds,
// options, files and lines, the summary on standard error, the same exit
// status, the same baseline.
TEST_F(CheckCommand, JsonAndSarifSayWhatTheTextSays) {
  writeWorld();
  const std::vector<std::string> files = {"a.dat", "a.c", "b.c", "c.c", "b.dat"};
  const auto with = [&](std::vector<std::string> args) {
    args.insert(args.end(), files.begin(), files.end());
    return check(args);
  };
  const RunResult text = with({"-Wno-unreachable"});
  write("known.txt", text.out.substr(0, text.out.find('\n') + 1));  // the first
  for (const std::vector<std::string>& extra :
       {std::vector<std::string>{}, {"--baseline", "known.txt"}, {"-Werror"}}) {
    std::vector<std::string> args = {"-Wno-unreachable"};
    args.insert(args.end(), extra.begin(), extra.end());
    const RunResult asText = with(args);
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < asText.out.size();) {
      const std::size_t end = asText.out.find('\n', at);
      lines.push_back(asText.out.substr(at, end - at));
      at = end + 1;
    }
    const std::string summary = lines.back() + "\n";
    lines.pop_back();

    args.push_back("--format=json");
    const RunResult json = with(args);
    EXPECT_EQ(json.status, asText.status);
    EXPECT_EQ(json.err, summary);
    EXPECT_EQ(std::count(json.out.begin(), json.out.end(), '\n'), 1);
    rapidjson::Document gcc;
    gcc.Parse(json.out.c_str());
    ASSERT_TRUE(gcc.IsArray());
    ASSERT_EQ(gcc.Size(), lines.size());
    args.back() = "--format=sarif";
    const RunResult sarif = with(args);
    EXPECT_EQ(sarif.status, asText.status);
    EXPECT_EQ(sarif.err, summary);
    rapidjson::Document log;
    log.Parse(sarif.out.c_str());
    ASSERT_FALSE(log.HasParseError());
    const auto& results = log["runs"][0]["results"];
    ASSERT_EQ(results.Size(), lines.size());
    for (rapidjson::SizeType k = 0; k < gcc.Size(); ++k) {
      const auto& d = gcc[k];
      const auto& caret = d["locations"][0]["caret"];
      const std::string kind = d["kind"].GetString();
      std::string said = std::string(caret["file"].GetString()) + ":" +
                         std::to_string(caret["line"].GetInt()) + ": " + kind + ": " +
                         d["message"].GetString();
      if (kind == "warning") said += std::string(" [") + d["option"].GetString() + "]";
      EXPECT_EQ(said, lines[k]);
      EXPECT_EQ(d.HasMember("option"), kind == "warning");
      const auto& result = results[k];
      EXPECT_EQ(result["level"].GetString(), kind);
      EXPECT_EQ(result["message"]["text"].GetString(), std::string(d["message"].GetString()));
      const auto& place = result["locations"][0]["physicalLocation"];
      EXPECT_EQ(place["artifactLocation"]["uri"].GetString(),
                std::string(caret["file"].GetString()));
      EXPECT_EQ(place["region"]["startLine"].GetInt(), caret["line"].GetInt());
      if (kind == "warning") {
        EXPECT_EQ("-W" + std::string(result["ruleId"].GetString()), d["option"].GetString());
      }
    }
  }
}

// A SARIF log has every field SARIF and code-scanning services require, a
// rule for every kind, and fingerprints that do not move with the lines.
TEST_F(CheckCommand, SarifHasWhatScanningServicesNeed) {
  writeWorld();
  const RunResult before = check({"--format=sarif", "a.dat", "a.c", "b.c", "c.c", "b.dat"});
  write("log.sarif", before.out);
  const RunResult valid = runShell(
      "/usr/bin/python3 -c 'import json, sys, jsonschema; "
      "jsonschema.validate(json.load(open(sys.argv[1])), json.load(open(sys.argv[2])))' "
      "log.sarif " RB_TESTS_DIR "/sarif-required.schema.json 2>&1",
      dir.path());
  EXPECT_EQ(valid.status, 0) << valid.out;
  rapidjson::Document log;
  log.Parse(before.out.c_str());
  const auto& rules = log["runs"][0]["tool"]["driver"]["rules"];
  std::set<std::string> ids;
  for (const auto& rule : rules.GetArray())
    ids.insert(rule["id"].GetString());
  EXPECT_EQ(ids, (std::set<std::string>{"function-twice", "number-twice", "missing-room",
                                        "not-a-room-number", "no-row", "second-row",
                                        "row-without-room", "one-way", "unreachable", "short-name",
                                        "not-writer", "crlf", "width", "spacing", "doubled",
                                        "spelling", "same-text", "region"}));
  // The whole header line "al_2(user,com,dir)" is the region.
  const auto& results = log["runs"][0]["results"];
  EXPECT_EQ(results[2]["locations"][0]["physicalLocation"]["region"]["endColumn"].GetInt(), 19);

  // Lines move: a prologue before a.c's rooms, b.c's rooms in another
  // order. Every diagnostic keeps its fingerprint.
  write("a.c", "/* area a */\n\n" + readFile(dir.file("a.c")));
  write("b.c", roomRecord(worldRoom(2, "Copy", {}, "a")) +
                   roomRecord(worldRoom(10, "Road", {{4, 1}}, "b")) +
                   roomRecord(worldRoom(11, "Inn", {}, "b")));
  const RunResult after = check({"--format=sarif", "a.dat", "a.c", "b.c", "c.c", "b.dat"});
  rapidjson::Document moved;
  moved.Parse(after.out.c_str());
  const auto fingerprints = [](const rapidjson::Document& d) {
    std::multiset<std::string> all;
    for (const auto& result : d["runs"][0]["results"].GetArray())
      all.insert(result["partialFingerprints"]["roomDiagnostic/v1"].GetString());
    return all;
  };
  EXPECT_EQ(fingerprints(moved), fingerprints(log));
  EXPECT_NE(after.out, before.out);
}

}  // namespace
}  // namespace rb::test
