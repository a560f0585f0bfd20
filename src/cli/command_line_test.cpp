// The command line: `check`, `map`, --help and --version, through the real
// executable (exit status, standard output and error kept apart), and the
// map's layout and safety on its own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <regex>
#include <set>
#include <tuple>

#include "cli/command_line.h"
#include "format/data_row.h"
#include "format/room_record.h"
#include "test_support.h"
#include "world/area_layout.h"
#include "world_texts.h"

namespace rb::test {
namespace {

WorkingRoom room(int number, const std::string& name,
                 std::initializer_list<std::pair<int, int>> exits) {
  return worldRoom(number, name, exits);
}

AreaDefaults area() {
  AreaDefaults a;
  a.region = 3;
  return a;
}

class CommandLine : public ::testing::Test {
 protected:
  RunResult run(const std::vector<std::string>& args) { return runBinary("", dir.path(), args); }
  TempDir dir;
};

TEST_F(CommandLine, CheckOfACleanArea) {
  // 1 <-> 2 north/south, 2 <-> 3 up/down.
  const WorkingRoom rooms[] = {room(1, "Gate", {{1, 2}}), room(2, "Yard", {{2, 1}, {9, 3}}),
                               room(3, "Tower", {{10, 2}})};
  std::string roomText, dataText;
  for (const WorkingRoom& r : rooms) {
    roomText += roomRecord(r);
    dataText += dataRow(r, area());
  }
  writeFile(dir.file("town.c"), roomText);
  writeFile(dir.file("town.dat"), dataText);
  RunResult result = run({"check", "town.c", "town.dat"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "3 rooms, 4 exits: 0 errors, 0 warnings.\n");
  EXPECT_EQ(result.err, "");
  result = run({"check", "town.c"});
  EXPECT_EQ(result.out, "3 rooms, 4 exits: 0 errors, 0 warnings.\n");
}

TEST_F(CommandLine, CheckFindsEveryKindOfFault) {
  // Room 1 east to missing 9 and north one-way to 2; room 2 (no short name)
  // back south; room 3 unreachable, hand-edited; room 2 again under the
  // same function name; room 4 without a row.
  std::string handEdited = roomRecord(room(3, "Shed", {}));
  handEdited.replace(handEdited.find("int links[]={ "), 14, "int links[] = { ");
  const std::string roomText = roomRecord(room(1, "Gate", {{1, 2}, {3, 9}})) +  // line 1
                               roomRecord(room(2, "", {{2, 5}})) +              // line 14
                               handEdited +                                     // line 27
                               roomRecord(room(2, "Copy", {})) +                // line 40
                               roomRecord(room(4, "Loft", {{10, 1}}));          // line 53
  const std::string dataText = dataRow(room(1, "", {}), area()) +               // line 1
                               dataRow(room(2, "", {}), area()) +               // line 2
                               dataRow(room(3, "", {}), area()) +               // line 3
                               dataRow(room(2, "", {}), area()) +   // line 4: the second townl_2's
                               "townl_7,3,0,0,1,1,0,0,1,\"\",\n" +  // line 5: names no room
                               "townl_8,3,0,0,1,9,0,0,1,\"\",\n";   // line 6: not the writer's
  writeFile(dir.file("town.c"), roomText);
  writeFile(dir.file("town.dat"), dataText);
  const RunResult result = run({"check", "town.c", "town.dat"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out,
            "town.c:1: error: room 1: the east exit leads to room 9, which no record has\n"
            "town.c:1: warning: room 1: the north exit to room 2 is one-way (room 2 has no south "
            "exit back) [-Wone-way]\n"
            "town.c:14: error: room 2: the south exit leads to room 5, which no record has\n"
            "town.c:14: warning: room 2 has no short name [-Wshort-name]\n"
            "town.c:27: warning: room 3 cannot be reached from room 1 [-Wunreachable]\n"
            "town.c:27: warning: room 3: the record is not as the room writer writes it (key 3 "
            "copies it unchanged) [-Wnot-writer]\n"
            "town.c:40: error: room 2: the function name townl_2 is already used at line 14\n"
            "town.c:53: error: room 4 has no row in the data file\n"
            "town.c:53: warning: room 4: the down exit to room 1 is one-way (room 1 has no up exit "
            "back) [-Wone-way]\n"
            "town.c:53: warning: room 4 cannot be reached from room 1 [-Wunreachable]\n"
            "town.dat:5: error: the row for townl_7 names no room of the room file\n"
            "town.dat:6: error: the row for townl_8 names no room of the room file\n"
            "town.dat:6: warning: the row for townl_8 is not as the room writer writes it "
            "[-Wnot-writer]\n"
            "5 rooms, 4 exits: 6 errors, 7 warnings.\n");
}

TEST_F(CommandLine, CheckSummaryInTheSingular) {
  writeFile(dir.file("one.c"), roomRecord(room(1, "", {{3, 2}})));
  const RunResult result = run({"check", "one.c"});
  EXPECT_EQ(result.status, 1);
  EXPECT_TRUE(endsWith(result.out, "\n1 room, 1 exit: 1 error, 1 warning.\n")) << result.out;
}

TEST_F(CommandLine, WrongArgumentsAndUnreadableFiles) {
  writeFile(dir.file("a.c"), "");
  // Each wrong call: one line that says what is wrong, then the hint.
  const std::vector<std::pair<std::vector<std::string>, std::string>> wrong = {
      {{"check"}, "check: no file named"},
      {{"check", "-Wbogus", "a.c"}, "check: unknown warning -Wbogus"},
      {{"check", "--start", "x", "a.c"}, "check: --start needs a room number"},
      {{"check", "--start", "99999999999999", "a.c"},
       "check: --start 99999999999999: out of range"},
      {{"check", "--start", "5", "a.c"}, "check: --start 5: no room has that number"},
      {{"check", "--baseline"}, "check: --baseline needs a file"},
      {{"check", "--frobnicate", "a.c"}, "check: unknown option --frobnicate"},
      {{"check", "-x", "a.c"}, "check: unknown option -x"},
      {{"map"}, "map: no file named"},
      {{"map", "--start", "1", "a.c"}, "map: --start 1: no room has that number"},
      {{"link", "--dry-run"}, "link: no file named"},
      {{"--bogus"}, "unknown option --bogus"},
      {{"walk"}, "'walk' is not a command"},
      {{"explore"}, "'explore' is not a command; did you mean 'export'?"},
      {{"export", "--format=svg", "a.c"}, "export: --format must be world or mudlet, not svg"},
      {{"export"}, "export: no file named"},
      {{"import"}, "import: no document named"},
      {{"import", "a.json", "b.json"}, "import: one document at a time"},
      {{"check", "--format=xml", "a.c"}, "check: --format must be text, json or sarif, not xml"},
      {{"chek", "a.c"}, "'chek' is not a command; did you mean 'check'?"},
      {{"lnik"}, "'lnik' is not a command; did you mean 'link'?"},
      {{"--help", "x"}, "'x' is not a command"},
      {{"--version", "x"}, "--version: too many arguments"}};
  for (const auto& [args, line] : wrong) {
    const RunResult result = run(args);
    EXPECT_EQ(result.status, 2) << line;
    EXPECT_EQ(result.out, "") << line;
    EXPECT_EQ(result.err,
              "roombuilder: " + line + "\nTry 'roombuilder --help' for more information.\n");
  }
  RunResult result = run({"check", "missing.c"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "roombuilder: missing.c: No such file or directory\n");
  result = run({"map", "."});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "roombuilder: .: Is a directory\n");

  result = run({"--version"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "roombuilder 1.17\n");
  result = run({"--help"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out.rfind("Usage: roombuilder\n", 0), 0u);
  EXPECT_EQ(result.err, "");
  // Every command of the table, its synopsis and its own help; the help of
  // one command on its own, by both spellings.
  for (const char* command : {"check", "map", "link"}) {
    EXPECT_NE(result.out.find(std::string("       roombuilder ") + command + " [OPTION]..."),
              std::string::npos)
        << command;
    const RunResult own = run({command, "--help"});
    EXPECT_EQ(own.status, 0);
    EXPECT_EQ(own.out.rfind(std::string("Usage: roombuilder ") + command + " [OPTION]...", 0), 0u);
    EXPECT_NE(result.out.find(own.out.substr(own.out.find("\n\n") + 2)), std::string::npos)
        << command;
    EXPECT_EQ(run({"help", command}).out, own.out);
  }
}

// Names from a file or the command line never put a control byte, let
// alone a NUL, into the diagnostics: they are written as \xHH.
TEST_F(CommandLine, CheckQuotesControlBytesAsHex) {
  WorkingRoom strange = room(1, "", {});
  strange.tempregionname = "a\x01\x1b[2J";
  const std::string name = "f\x1b]0;x\a.c";
  writeFile(dir.file(name), roomRecord(strange) + roomRecord(strange));
  writeFile(dir.file("d.dat"), std::string("\0\x1b,1\n", 5));
  const RunResult result = run({"check", name, "d.dat"});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.out.find("f\\x1B]0;x\\x07.c:14: error: room 1: the function name "
                            "a\\x01\\x1B[2Jl_1 is already used at line 1\n"),
            std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("d.dat:1: error: the row for \\x00\\x1B names no room"),
            std::string::npos)
      << result.out;
  for (const char c : result.out)
    EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << result.out;
}

// Output that cannot be written is an error a script sees; so is input that
// cannot be held.
TEST_F(CommandLine, UnwritableOutputAndEndlessInputAreErrors) {
  writeFile(dir.file("a.c"), roomRecord(room(1, "Gate", {})));
  const auto outputTo = [](bool full) {
    return [full] {
      int fds[2] = {-1, -1};
      if (full) {
        fds[1] = open("/dev/full", O_WRONLY);
      } else if (pipe(fds) == 0) {
        close(fds[0]);  // nobody reads
      }
      dup2(fds[1], STDOUT_FILENO);
    };
  };
  for (const char* command : {"check", "map"}) {
    for (const bool full : {true, false}) {
      const RunResult result = runBinary("", dir.path(), {command, "a.c"}, outputTo(full));
      EXPECT_EQ(result.status, 2) << command << full;
      EXPECT_EQ(result.err, std::string("roombuilder: cannot write the output: ") +
                                (full ? "No space left on device" : "Broken pipe") + "\n")
          << command;
    }
  }
  // A file that never ends, under a memory limit (which the sanitizers,
  // reserving much address space, cannot run under).
  const auto limited = [] {
    if (RB_SANITIZED) return;
    struct rlimit limit = {256u << 20, 256u << 20};
    setrlimit(RLIMIT_AS, &limit);
  };
  for (const char* command : {"check", "map"}) {
    const RunResult result = runBinary("", dir.path(), {command, "/dev/zero"}, limited);
    EXPECT_EQ(result.status, 2) << command;
    EXPECT_EQ(result.err, "roombuilder: /dev/zero: too large to read\n") << command;
  }
}

// The room boxes of a map: number -> top-left corner.
std::map<int, std::pair<double, double>> boxes(const std::string& svg) {
  std::map<int, std::pair<double, double>> found;
  const std::regex box(
      "data-room=\"(-?\\d+)\"><title>[^<]*</title><rect x=\"([\\d.]+)\" y=\"([\\d.]+)\"");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), box); it != std::sregex_iterator();
       ++it) {
    EXPECT_EQ(found.count(std::stoi((*it)[1])), 0u) << "room drawn twice: " << (*it)[1];
    found[std::stoi((*it)[1])] = {std::stod((*it)[2]), std::stod((*it)[3])};
  }
  return found;
}

TEST_F(CommandLine, MapIsValidXmlThatRendersAndHoldsEachRoomOnce) {
  // A hostile short name, invalid UTF-8, a control byte, every kind of link.
  std::string text =
      roomRecord(room(1, "<script>alert('x')</script> & \"co\"", {{1, 2}, {3, 77}, {9, 3}})) +
      roomRecord(room(2, "Caf\xe9 \x01 \xff", {{2, 1}, {6, 3}})) +
      roomRecord(room(3, "", {{10, 1}})) + roomRecord(room(4, "Alone", {}));
  writeFile(dir.file("area.c"), text);
  const RunResult result = run({"map", "area.c"});
  ASSERT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  writeFile(dir.file("area.svg"), result.out);
  EXPECT_EQ(result.out.find("<script"), std::string::npos);
  EXPECT_NE(
      result.out.find("&lt;script&gt;alert(&apos;x&apos;)&lt;/script&gt; &amp; &quot;co&quot;"),
      std::string::npos);
  const RunResult lint = runShell("xmllint --noout area.svg 2>&1", dir.path());
  EXPECT_EQ(lint.status, 0) << lint.out;
  const RunResult render = runShell("rsvg-convert area.svg -o area.png 2>&1", dir.path());
  EXPECT_EQ(render.status, 0) << render.out;
  EXPECT_GT(readFile(dir.file("area.png")).size(), 1000u);
  const auto drawn = boxes(result.out);
  EXPECT_EQ(drawn.size(), 4u);
  EXPECT_NE(result.out.find("class=\"room start\" data-room=\"1\""), std::string::npos);
  EXPECT_NE(result.out.find(">77</text>"), std::string::npos);                  // the stub's number
  EXPECT_NE(result.out.find("marker-end=\"url(#arrow)\""), std::string::npos);  // 2 -> 3 one-way
  EXPECT_NE(result.out.find(">up 3<"), std::string::npos);                      // marked on room 1
  EXPECT_NE(result.out.find("Rooms joined to no other room"), std::string::npos);
}

TEST_F(CommandLine, MapPutsNorthAboveAndEastToTheRightOnAGrid) {
  // A 6 x 5 grid of rooms, numbered row by row, joined both ways.
  std::string text;
  const int width = 6, height = 5;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int n = y * width + x;
      WorkingRoom r = room(n, "R" + std::to_string(n), {});
      if (y > 0) r.exitd[1] = n - width;
      if (y < height - 1) r.exitd[2] = n + width;
      if (x < width - 1) r.exitd[3] = n + 1;
      if (x > 0) r.exitd[4] = n - 1;
      text += roomRecord(r);
    }
  }
  writeFile(dir.file("grid.c"), text);
  const RunResult result = run({"map", "grid.c"});
  ASSERT_EQ(result.status, 0);
  const auto drawn = boxes(result.out);
  ASSERT_EQ(drawn.size(), static_cast<std::size_t>(width * height));
  for (int n = 0; n < width * height; ++n) {
    if (n >= width) {  // its north neighbour stands right above it
      EXPECT_EQ(drawn.at(n - width).first, drawn.at(n).first);
      EXPECT_LT(drawn.at(n - width).second, drawn.at(n).second);
    }
    if (n % width > 0) {  // its west neighbour to its left
      EXPECT_EQ(drawn.at(n - 1).second, drawn.at(n).second);
      EXPECT_LT(drawn.at(n - 1).first, drawn.at(n).first);
    }
  }
}

}  // namespace
}  // namespace rb::test
