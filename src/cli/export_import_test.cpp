// `roombuilder export` and `import` through the real executable: generated
// worlds of every kind of file come back byte for byte, a changed document
// writes exactly what changed, every refusal says where and writes nothing,
// and the document is what its schema says.
#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <set>

#include "format/data_row.h"
#include "format/room_record.h"
#include "room_generator.h"
#include "test_support.h"
#include "world_texts.h"

namespace rb::test {
namespace {

// Every file under `root`, by name relative to it, with its bytes.
std::map<std::string, std::string> filesUnder(const std::string& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    files[std::filesystem::relative(entry.path(), root).string()] = readFile(entry.path());
  }
  return files;
}

class ExportImport : public ::testing::Test {
 protected:
  RunResult run(const std::vector<std::string>& args) { return runBinary("", dir.path(), args); }
  void expectLateErrorsOfALargeDocument(std::string document);
  // Exports `files` (in `dir`) into world.json; its status.
  void exportTo(const std::vector<std::string>& files, const std::string& document = "world.json") {
    std::vector<std::string> args = {"export"};
    args.insert(args.end(), files.begin(), files.end());
    const RunResult result = run(args);
    ASSERT_EQ(result.status, 0) << result.err;
    writeFile(dir.file(document), result.out);
  }

  TempDir dir;
};

// A world of every kind of file, from `seed`: a room file with a prologue
// and records written by hand among the writer's, one with CR LF line
// ends, one with both, and a data file with comments, preprocessor lines
// and a row written by hand; bytes that are not UTF-8 here and there.
std::map<std::string, std::string> generatedWorld(unsigned seed, int rooms = 12) {
  RoomGenerator generator(seed);
  std::mt19937 random(seed);
  std::map<std::string, std::string> files;
  std::string lf = "/* The old town, caf\xe9 and \xef\x9c\x80 */\n#include \"std.h\"\n\n";
  std::string crlf, mixed, rows = "/* rows\n   of the town */\n#define LIT 1\n";
  for (int k = 0; k < rooms; ++k) {
    const WorkingRoom room = generator.room();
    std::string record = roomRecord(room);
    const auto pick = random() % 6;
    if (pick == 0) {
      // Written by hand: a comment after the header line, a Latin-1 byte.
      record.insert(record.find('\n') + 1, "  /* moved by hand, \xe9t\xe9 */\n");
    }
    if (pick == 1) {
      crlf += withCrLf(record);
    } else if (pick == 2) {
      mixed += k % 2 ? withCrLf(record) : record;
    } else {
      lf += record;
    }
    std::string row = worldRow(room, static_cast<int>(random() % 7) - 1);
    if (random() % 5 == 0) row.insert(row.find(',') + 1, " ");
    rows += row;
    if (random() % 4 == 0) rows += "  // a note\n";
  }
  // A file of both line ends holds one of each for sure.
  mixed += withCrLf(roomRecord(generator.room())) + roomRecord(generator.room());
  files["town.c"] = lf;
  files["crlf.c"] = crlf;
  files["mixed.c"] = mixed;
  files["data/town.dat"] = rows;
  files["data/crlf.dat"] = withCrLf(rows);
  files["empty.c"] = "";
  return files;
}

// "LINE:COLUMN" of the byte `at` of `document`.
std::string positionOf(const std::string& document, std::size_t at) {
  const std::size_t lineStart = document.rfind('\n', at - 1) + 1;  // npos + 1 is 0
  const auto line = std::count(document.begin(), document.begin() + static_cast<long>(at), '\n');
  return std::to_string(line + 1) + ":" + std::to_string(at - lineStart + 1);
}

// A document large enough to be read on two threads, with errors late in
// it, found by each: every error said, in document order, nothing written.
void ExportImport::expectLateErrorsOfALargeDocument(std::string document) {
  ASSERT_GE(document.size(), 4u << 20);
  const std::size_t room = document.rfind("\"terrain\":");
  ASSERT_NE(room, std::string::npos);
  const std::size_t dark = document.rfind("\"dark\":false", room);
  ASSERT_NE(dark, std::string::npos);
  // A key given twice (found as the document is read), then a terrain out
  // of range (found as its item is checked).
  document.replace(room, 11, "\"terrain\":99,\"x\":");
  document.insert(dark, "\"dark\":true,");
  const std::size_t twice = document.find("\"dark\":", dark + 1);
  const std::size_t terrain = document.find("\"terrain\":99", dark) + 10;
  const std::size_t stray = document.find("\"x\":", dark);
  writeFile(dir.file("late.json"), document);
  const RunResult result = run({"import", "--into", "late", "late.json"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "late.json:" + positionOf(document, twice) +
                            ": error: \"dark\" is given twice\n"
                            "late.json:" +
                            positionOf(document, terrain) +
                            ": error: the terrain must be 1 to 18\n"
                            "late.json:" +
                            positionOf(document, stray + 4) +
                            ": error: \"x\" is not a field here\n");
  EXPECT_FALSE(std::filesystem::exists(dir.file("late")));
}

TEST_F(ExportImport, EveryGeneratedWorldComesBackByteForByte) {
  for (unsigned seed = 1; seed <= 26; ++seed) {
    SCOPED_TRACE(seed);
    TempDir world;
    std::filesystem::create_directory(world.file("data"));
    // The last world's room files are large enough to be read on two
    // threads.
    const auto files = generatedWorld(seed, seed == 26 ? 12000 : 12);
    ASSERT_TRUE(seed < 26 || files.at("town.c").size() >= (8u << 20)) << files.at("town.c").size();
    std::vector<std::string> args = {"export"};
    for (const auto& [name, text] : files) {
      writeFile(world.file(name), text);
      args.push_back(name);
    }
    const RunResult exported = runBinary("", world.path(), args);
    ASSERT_EQ(exported.status, 0) << exported.err;
    writeFile(dir.file("world.json"), exported.out);
    std::filesystem::remove_all(dir.file("out"));
    const RunResult imported = run({"import", "--into", "out/a", "world.json"});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.out, "6 files written, 0 unchanged.\n");
    ASSERT_EQ(filesUnder(dir.file("out/a")), files);
    // Imported over the world itself: nothing to write, nothing backed up.
    const auto before = filesUnder(world.path());
    if (seed == 26) {
      ASSERT_NO_FATAL_FAILURE(expectLateErrorsOfALargeDocument(exported.out));
    }
    const RunResult again = runBinary("", world.path(), {"import", dir.file("world.json")});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out, "0 files written, 6 unchanged.\n");
    EXPECT_EQ(again.err, "");
    EXPECT_EQ(filesUnder(world.path()), before);
  }
}

TEST_F(ExportImport, RoomsAndRowsAreFieldsAndTheRestIsText) {
  WorkingRoom gate = worldRoom(1, "Gate", {{1, 2}, {9, 3}});
  gate.lines = 1;
  gate.ldesc[0] = "An arch.";
  gate.ldesc[1] = "Old \xe9.";
  gate.command = 2;
  gate.comm[1] = "pull";
  gate.comm[2] = "lever";
  gate.clines = 0;
  gate.cdesc[0] = "Clank.";
  gate.t = 0.25f;
  gate.randtext = "A bell.";
  writeFile(dir.file("town.c"), "/* town */\n" + roomRecord(gate));
  writeFile(dir.file("town.dat"), withCrLf("// rows\n" + worldRow(gate)));
  exportTo({"town.c", "town.dat"});
  const std::string document = readFile(dir.file("world.json"));
  // The frequency is the digits the file holds.
  EXPECT_NE(document.find("\"frequency\":0.250000"), std::string::npos);
  const RunResult compact = runShell("jq -c . world.json", dir.path());
  ASSERT_EQ(compact.status, 0);
  EXPECT_EQ(compact.out,
            "{\"format\":\"roombuilder-world\",\"version\":1,\"files\":["
            "{\"name\":\"town.c\",\"kind\":\"rooms\",\"lineEnds\":\"LF\",\"content\":["
            "{\"text\":\"/* town */\\n\"},"
            "{\"room\":{\"number\":1,\"region\":\"town\",\"shortName\":\"Gate\","
            "\"description\":[\"An arch.\",\"Old \xef\x9f\xa9.\"],\"exits\":{\"north\":2,\"up\":3},"
            "\"command\":[\"pull\",\"lever\"],\"response\":[\"Clank.\"],"
            "\"event\":{\"frequency\":0.25,\"text\":\"A bell.\"}}}]},"
            "{\"name\":\"town.dat\",\"kind\":\"data\",\"lineEnds\":\"CRLF\",\"content\":["
            "{\"text\":\"// rows\\r\\n\"},"
            "{\"row\":{\"function\":\"townl_1\",\"region\":3,\"dark\":false,\"terrain\":1}}]}]}\n");
}

TEST_F(ExportImport, AChangedDocumentWritesWhatChangedInTheFilesLineEnds) {
  // town.c has CR LF line ends, a prologue and a record written by hand;
  // road.c is not changed at all.
  const std::vector<WorkingRoom> town = {worldRoom(1, "Gate", {{1, 2}}),
                                         worldRoom(2, "Yard", {{2, 1}}), worldRoom(3, "Loft", {})};
  std::string hand = roomRecord(town[2]);
  hand.insert(hand.find('\n') + 1, "  /* by hand */\n");
  const std::string prologue = "/* town */\n";
  writeFile(dir.file("town.c"),
            withCrLf(prologue + roomRecord(town[0]) + roomRecord(town[1]) + hand));
  std::string rows = "// rows\n";
  for (WorkingRoom room : town) {
    room.roomterrain = room.room == 2 ? 5 : 1;
    rows += worldRow(room);
  }
  writeFile(dir.file("town.dat"), rows);
  const std::string road = roomRecord(worldRoom(10, "Road", {}, "road"));
  writeFile(dir.file("road.c"), road);
  exportTo({"town.c", "town.dat", "road.c"});

  // The manual's example: every forest room becomes grassland. And room 2
  // gets a new name, a room 4 is added after the rest.
  ASSERT_EQ(runShell("jq '(.files[].content[] | select(.row.terrain == 5) | .row.terrain) = 14 "
                     "| (.files[0].content[] | select(.room.number == 2) | .room.shortName) = "
                     "\"Yard of Bells\" | .files[0].content += [{\"room\": {\"number\": 4, "
                     "\"region\": \"town\", \"shortName\": \"Tower\", \"exits\": {\"down\": 3}}}]' "
                     "world.json > changed.json",
                     dir.path())
                .status,
            0);
  RunResult dry = run({"import", "-n", "changed.json"});
  EXPECT_EQ(dry.status, 0) << dry.err;
  EXPECT_EQ(dry.out,
            "town.c (changed)\ntown.dat (changed)\n2 files would be written, 1 unchanged.\n");
  EXPECT_FALSE(fileExists(dir.file("town.c.~1~")));

  const RunResult result = run({"import", "changed.json"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "2 files written, 1 unchanged.\n");
  EXPECT_EQ(result.err,
            "The old contents of town.c are kept in town.c.~1~.\n"
            "The old contents of town.dat are kept in town.dat.~1~.\n");
  std::vector<WorkingRoom> changed = town;
  changed[1].shortname = "Yard of Bells";
  const WorkingRoom tower = worldRoom(4, "Tower", {{10, 3}});
  EXPECT_EQ(
      readFile(dir.file("town.c")),
      withCrLf(prologue + roomRecord(town[0]) + roomRecord(changed[1]) + hand + roomRecord(tower)));
  std::string expectedRows = "// rows\n";
  for (WorkingRoom room : town) {
    room.roomterrain = room.room == 2 ? 14 : 1;
    expectedRows += worldRow(room);
  }
  EXPECT_EQ(readFile(dir.file("town.dat")), expectedRows);
  EXPECT_EQ(readFile(dir.file("town.dat.~1~")), rows);
  EXPECT_EQ(readFile(dir.file("road.c")), road);
  EXPECT_FALSE(fileExists(dir.file("road.c.~1~")));
}

TEST_F(ExportImport, EveryErrorIsSaidWhereItIsAndNothingIsWritten) {
  const std::string head = R"({"format": "roombuilder-world", "version": 1, "files": [)";
  std::string eAcute;
  for (int k = 0; k < 25; ++k)
    eAcute += "\xc3\xa9";  // 25 characters, 50 bytes
  struct Case {
    std::string document;
    std::string errors;
  };
  const std::vector<Case> cases = {
      {"{\"format\": \"roombuilder-world\",\n \"version\": 1,\n \"files\": [}\n",
       "3:12: error: not JSON: Invalid value.\n"},
      {"[1]", "1:1: error: the document must be an object, not an array\n"},
      {"{\"format\": \"roombuilder-map\",\n \"version\": 2,\n \"files\": []}",
       "1:12: error: the format must be \"roombuilder-world\"\n"
       "2:13: error: version 2 is not known (this program reads version 1)\n"},
      {"{\"version\": 1, \"files\": {}}",
       "1:1: error: the field \"format\" is missing\n"
       "1:25: error: \"files\" must be an array, not an object\n"},
      {head + "\n"
              R"( {"name": "/etc/x.c", "kind": "rooms", "lineEnds": "LF", "content": []},)"
              "\n"
              R"( {"name": "../x.c", "kind": "rooms", "lineEnds": "LF", "content": []},)"
              "\n"
              R"( {"name": "x.c", "kind": "rooms", "lineEnds": "LF", "content": []},)"
              "\n"
              R"( {"name": "sub/../x.c", "kind": "rooms", "lineEnds": "LF", "content": []},)"
              "\n"
              R"( {"name": "y.c", "kind": "room", "lineEnds": "LF", "content": []},)"
              "\n"
              R"( {"name": "z.c", "kind": "rooms", "content": [], "lineEnds": "LF"}]})",
       "2:11: error: the file name must be relative and stay within its folder\n"
       "3:11: error: the file name must be relative and stay within its folder\n"
       "5:11: error: the file x.c is named twice\n"
       "6:26: error: the kind must be \"rooms\" or \"data\"\n"
       "7:2: error: the field \"lineEnds\" is missing\n"
       "7:62: error: \"lineEnds\" comes after \"content\": a file's name, kind and line ends "
       "come first\n"},
      {head +
           "\n"
           R"( {"name": "x.c", "kind": "rooms", "lineEnds": "LF", "content": [)"
           "\n"
           R"(  {"room": {"number": 1, "region": "town", "shortName": ")" +
           eAcute +
           R"("}},)"
           "\n"
           R"(  {"room": {"number": "2", "region": "9town", "shortName": "A"}},)"
           "\n"
           R"(  {"room": {"number": 3, "region": "t", "shortName": "B", )"
           R"("exits": {"left": 4, "north": 2147483648}}},)"
           "\n"
           R"(  {"room": {"number": 4, "region": "t", "shortName": "C", "description": )"
           R"(["1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"]}},)"
           "\n"
           R"(  {"room": {"number": 5, "region": "t", "shortName": "D", "command": ["x"]}},)"
           "\n"
           R"(  {"row": {"function": "tl_1", "region": 1, "dark": true, "terrain": 1}},)"
           "\n"
           R"(  {"room": {"number": 6, "region": "t", "shortName": "E\nF", "colour": 1}},)"
           "\n"
           R"(  {"room": {"number": 7, "number": 8, "region": "t", "shortName": "G"}}]}]})",
       "3:57: error: the short name has 50 bytes; the room menu holds 49\n"
       "4:23: error: \"number\" must be a number, not a string\n"
       "4:38: error: the region name must be ASCII letters, digits and underscores, not "
       "starting with a digit, at most 19 bytes\n"
       "5:77: error: \"left\" is no direction (north, northeast, ..., up, down, in, out)\n"
       "5:89: error: \"north\" must be a whole number within the range of int\n"
       "6:74: error: the description has 11 lines; the room menu holds 10\n"
       "7:70: error: a command needs its \"response\"\n"
       "8:3: error: a row in a room file\n"
       "9:54: error: the short name holds a line break, a NUL or an escape character, which "
       "no editor types\n"
       "9:72: error: \"colour\" is not a field here\n"
       "10:26: error: \"number\" is given twice\n"},
      // Keys that share one place of the cache of keys, a real one among them,
      // coming back after another.
      {head + "\n"
              R"( {"name": "x.c", "kind": "rooms", "lineEnds": "LF", "content": [)"
              "\n"
              R"(  {"room": {"number": 1, "region": "t", "shortName": "A", "exits": {"axzxz": 1, )"
              R"("north": 2, "bxxxz": 3, "north": 4, "cxxxx": 5}}}]}]})",
       "3:78: error: \"axzxz\" is no direction (north, northeast, ..., up, down, in, out)\n"
       "3:102: error: \"bxxxz\" is no direction (north, northeast, ..., up, down, in, out)\n"
       "3:105: error: \"north\" is given twice\n"
       "3:126: error: \"cxxxx\" is no direction (north, northeast, ..., up, down, in, out)\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.document);
    writeFile(dir.file("bad.json"), c.document);
    const RunResult result = run({"import", "bad.json"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    std::string expected;
    for (std::size_t at = 0; at < c.errors.size();) {
      const std::size_t end = c.errors.find('\n', at) + 1;
      expected += "bad.json:" + c.errors.substr(at, end - at);
      at = end;
    }
    EXPECT_EQ(result.err, expected);
    EXPECT_EQ(filesUnder(dir.path()).size(), 1u);  // bad.json alone
  }

  // At most 100 errors, then how many more.
  std::string many = head + R"({"name": "x.c", "kind": "rooms", "lineEnds": "LF", "content": [)";
  for (int k = 0; k < 105; ++k)
    many += std::string(k ? "," : "") + "\n{\"room\": {\"number\": 1, \"region\": \"t\"}}";
  writeFile(dir.file("bad.json"), many + "]}]}");
  const RunResult result = run({"import", "bad.json"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 101);
  EXPECT_TRUE(result.err.starts_with("bad.json:2:10: error: the field \"shortName\" is missing\n"))
      << result.err;
  EXPECT_TRUE(endsWith(result.err, "\nand 5 more errors\n")) << result.err;
  EXPECT_FALSE(fileExists(dir.file("x.c")));
}

// An error found after files were begun leaves nothing: no file, no
// backup, no folder made; read from a pipe, the error is placed the same.
TEST_F(ExportImport, AnErrorLateInTheDocumentLeavesNothingBehind) {
  writeFile(dir.file("x.c"), "/* old */\n");
  std::string document =
      R"({"format": "roombuilder-world", "version": 1, "files": [)"
      "\n"
      R"({"name": "x.c", "kind": "rooms", "lineEnds": "LF", "content": [{"text": "/* new */\n"}]},)"
      "\n"
      R"({"name": "sub/y.c", "kind": "rooms", "lineEnds": "LF", "content": [{"text": "y"}]},)"
      "\n"
      R"({"name": "z.c", "kind": "rooms", "lineEnds": "LF", "content": [{"text": 5}]}]})";
  writeFile(dir.file("late.json"), document);
  const std::string said = "late.json:4:73: error: \"text\" must be a string\n";
  for (const std::vector<std::string>& args : {std::vector<std::string>{"import", "late.json"},
                                               {"import", "--into", "new/deep", "late.json"}}) {
    const RunResult result = run(args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, said);
    EXPECT_EQ(filesUnder(dir.path()).size(), 2u);
    EXPECT_EQ(readFile(dir.file("x.c")), "/* old */\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("sub")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("new")));
  }
  const RunResult piped = runShell(
      "cat late.json | '" + std::string(ROOMBUILDER_BINARY) + "' import /dev/stdin", dir.path());
  EXPECT_EQ(piped.status, 2);
  EXPECT_EQ(piped.err, "/dev/stdin" + said.substr(said.find(':')));
  EXPECT_EQ(filesUnder(dir.path()).size(), 2u);
}

TEST_F(ExportImport, TheDocumentValidatesAgainstItsSchema) {
  const auto files = generatedWorld(7);
  std::vector<std::string> names;
  std::filesystem::create_directory(dir.file("data"));
  for (const auto& [name, text] : files) {
    writeFile(dir.file(name), text);
    names.push_back(name);
  }
  exportTo(names);
  const std::string validate =
      std::string(
          "/usr/bin/python3 -c 'import json, sys, jsonschema; "
          "jsonschema.Draft202012Validator.check_schema(json.load(open(sys.argv[2]))); "
          "jsonschema.validate(json.load(open(sys.argv[1])), json.load(open(sys.argv[2])))' ") +
      "DOCUMENT " RB_TESTS_DIR "/../doc/world.schema.json 2>&1";
  const auto check = [&](const std::string& document) {
    std::string command = validate;
    command.replace(command.find("DOCUMENT"), 8, document);
    return runShell(command, dir.path());
  };
  const RunResult valid = check("world.json");
  EXPECT_EQ(valid.status, 0) << valid.out;
  // The schema can tell: a terrain beyond 18 is refused.
  ASSERT_EQ(runShell("jq '(.files[].content[] | select(.row) | .row.terrain) = 19' world.json > "
                     "bad.json",
                     dir.path())
                .status,
            0);
  EXPECT_NE(check("bad.json").status, 0);
}

// The map for the players' client on a world of two room files: every
// field its reader needs, of its type; rooms it cannot show left out with a
// warning; the same bytes each time.
TEST_F(ExportImport, TheClientsMapHoldsWhatItsReaderNeeds) {
  // town.c: 1 Gate (north to 2, east to road's 10, west to 99 which no room
  // has), 2 Yard (south to 1, down to 0), 0 Cellar (up to 2). road.c: 10 Road
  // (west to 1), a second room 2 (left out).
  WorkingRoom yard = worldRoom(2, "Yard", {{2, 1}, {10, 0}});
  yard.roomdark = 0;
  yard.roomterrain = 5;
  const std::vector<WorkingRoom> town = {worldRoom(1, "Gate", {{1, 2}, {3, 10}, {4, 99}}), yard,
                                         worldRoom(0, "Cellar", {{9, 2}})};
  const std::vector<WorkingRoom> road = {worldRoom(10, "Road", {{4, 1}}, "road"),
                                         worldRoom(2, "Twin", {}, "road")};
  std::string rows;
  for (const auto* list : {&town, &road}) {
    std::string text;
    for (const WorkingRoom& room : *list) {
      text += roomRecord(room);
      rows += worldRow(room);
    }
    writeFile(dir.file(list == &town ? "town.c" : "road.c"), text);
  }
  writeFile(dir.file("world.dat"), rows);
  const RunResult result = run({"export", "--format=mudlet", "town.c", "road.c", "world.dat"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(
      result.err,
      "town.c:27: warning: room 0 is left out: the client's room ids start at 1\n"
      "road.c:14: warning: room 2 is left out: its number is taken by the room at town.c:14\n");
  EXPECT_EQ(run({"export", "--format=mudlet", "town.c", "road.c", "world.dat"}).out, result.out);

  rapidjson::Document map;
  map.Parse(result.out.c_str());
  ASSERT_FALSE(map.HasParseError());
  ASSERT_TRUE(map["formatVersion"].IsDouble());
  EXPECT_EQ(map["formatVersion"].GetDouble(), 1.0);
  EXPECT_EQ(map["playerRoomOuterDiameterPercentage"].GetInt(), 120);
  EXPECT_EQ(map["customEnvColors"].Size(), 18u);
  EXPECT_EQ(map["customEnvColors"][4]["id"].GetInt(), 105);
  const auto& areas = map["areas"];
  ASSERT_EQ(areas.Size(), 2u);
  const std::set<std::string> directions = {"north", "northeast", "northwest", "east",
                                            "west",  "south",     "southeast", "southwest",
                                            "up",    "down",      "in",        "out"};
  std::map<int, const rapidjson::Value*> rooms;
  for (rapidjson::SizeType a = 0; a < areas.Size(); ++a) {
    EXPECT_EQ(areas[a]["id"].GetInt(), static_cast<int>(a) + 1);
    EXPECT_EQ(areas[a]["name"].GetString(), std::string(a == 0 ? "town.c" : "road.c"));
    for (const auto& room : areas[a]["rooms"].GetArray()) {
      ASSERT_TRUE(room["id"].IsInt());
      EXPECT_GE(room["id"].GetInt(), 1);
      EXPECT_TRUE(room["name"].IsString());
      ASSERT_EQ(room["coordinates"].Size(), 3u);
      for (const auto& c : room["coordinates"].GetArray())
        EXPECT_TRUE(c.IsInt());
      for (const auto& exit : room["exits"].GetArray()) {
        EXPECT_TRUE(directions.count(exit["name"].GetString()));
        EXPECT_GE(exit["exitId"].GetInt(), 1);
      }
      for (const auto& [key, value] : room["userData"].GetObject()) {
        EXPECT_TRUE(value.IsString()) << key.GetString();
      }
      rooms[room["id"].GetInt()] = &room;
    }
  }
  ASSERT_EQ(rooms.size(), 3u);
  const rapidjson::Value& gate = *rooms[1];
  EXPECT_EQ(gate["name"].GetString(), std::string("Gate"));
  EXPECT_EQ(gate["environment"].GetInt(), 101);
  ASSERT_EQ(gate["exits"].Size(), 2u);
  EXPECT_EQ(gate["exits"][0]["name"].GetString(), std::string("north"));
  EXPECT_EQ(gate["exits"][1]["exitId"].GetInt(), 10);
  EXPECT_EQ(gate["stubExits"][0]["name"].GetString(), std::string("west"));
  EXPECT_EQ(gate["userData"]["function"].GetString(), std::string("townl_1"));
  EXPECT_EQ(gate["userData"]["dark"].GetString(), std::string("no"));
  const rapidjson::Value& yardOnMap = *rooms[2];
  EXPECT_EQ(yardOnMap["environment"].GetInt(), 105);
  EXPECT_EQ(yardOnMap["userData"]["dark"].GetString(), std::string("yes"));
  EXPECT_EQ(yardOnMap["stubExits"][0]["name"].GetString(), std::string("down"));  // to room 0
  // The grid of map: 2 north of 1.
  EXPECT_EQ(yardOnMap["coordinates"][1].GetInt() - gate["coordinates"][1].GetInt(), 1);
  EXPECT_EQ(yardOnMap["coordinates"][0].GetInt(), gate["coordinates"][0].GetInt());
}

}  // namespace
}  // namespace rb::test
