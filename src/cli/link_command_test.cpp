// `roombuilder link` through the real executable: the ways back it adds,
// the ones it leaves and says why, the baseline and the dry run, what the
// files hold before and after, and a failure that must change nothing.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <set>

#include "test_support.h"
#include "world/world.h"
#include "world_texts.h"

namespace rb::test {
namespace {

// The lines of `text` that differ from those of `other`, by number.
std::vector<int> changedLines(const std::string& text, const std::string& other) {
  std::vector<int> changed;
  std::size_t a = 0, b = 0;
  for (int line = 1; a < text.size() || b < other.size(); ++line) {
    const std::size_t ea = text.find('\n', a), eb = other.find('\n', b);
    if (text.substr(a, ea - a) != other.substr(b, eb - b)) changed.push_back(line);
    a = ea == std::string::npos ? text.size() : ea + 1;
    b = eb == std::string::npos ? other.size() : eb + 1;
  }
  return changed;
}

int count(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++n;
  return n;
}

class LinkCommand : public ::testing::Test {
 protected:
  RunResult link(const std::vector<std::string>& args) {
    std::vector<std::string> all = {"link"};
    all.insert(all.end(), args.begin(), args.end());
    return runBinary("", dir.path(), all);
  }
  void write(const std::string& name, const std::string& text) { writeFile(dir.file(name), text); }
  std::string read(const std::string& name) { return readFile(dir.file(name)); }
  std::set<std::string> names() {
    std::set<std::string> all;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      all.insert(entry.path().filename().string());
    return all;
  }

  TempDir dir;
};

TEST_F(LinkCommand, AddsTheWaysBackAndSaysWhyOthersStayOneWay) {
  // 1 north to 2: added (2 south to 1). 3 east to 4, but 4's west exit
  // leads to 9 (which gets its east exit back to 4). 5 and 6 both go north to 7: 7's south exit
  // cannot lead to both. 8 north to 10, whose record is hand-edited. 11 east to a room no file
  // has. 12 to itself, 13 <-> 14 two-way already: left alone, nothing said.
  std::string edited = roomRecord(worldRoom(10, "Shed", {}));
  edited.replace(edited.find("OBJECT user;\n"), 13, "OBJECT  user;\n");
  const std::string before =
      "/* the town */\n" + roomRecord(worldRoom(1, "Gate", {{1, 2}})) +  // line 2
      roomRecord(worldRoom(2, "Yard", {})) +                             // line 15
      roomRecord(worldRoom(3, "Mill", {{3, 4}})) +                       // line 28
      roomRecord(worldRoom(4, "Weir", {{4, 9}})) +                       // line 41
      roomRecord(worldRoom(9, "Pool", {})) +                             // line 54
      roomRecord(worldRoom(5, "Lane", {{1, 7}})) +                       // line 67
      roomRecord(worldRoom(6, "Path", {{1, 7}})) +                       // line 80
      roomRecord(worldRoom(7, "Well", {})) +                             // line 93
      roomRecord(worldRoom(8, "Barn", {{1, 10}})) + edited +             // lines 106, 119
      roomRecord(worldRoom(11, "Dock", {{3, 99}})) +                     // line 132
      roomRecord(worldRoom(12, "Loop", {{9, 12}})) +                     // line 145
      roomRecord(worldRoom(13, "Hall", {{9, 14}})) +                     // line 158
      roomRecord(worldRoom(14, "Loft", {{10, 13}}));                     // line 171
  write("town.c", before);
  const std::string report =
      "town.c:15: note: room 2: south exit to room 1 added\n"
      "town.c:28: warning: room 3: the east exit to room 4 is one-way (room 4's west exit leads "
      "to room 9) [-Wone-way]\n"
      "town.c:54: note: room 9: east exit to room 4 added\n"
      "town.c:67: warning: room 5: the north exit to room 7 is one-way (2 rooms would need room "
      "7's south exit; none gets it) [-Wone-way]\n"
      "town.c:80: warning: room 6: the north exit to room 7 is one-way (2 rooms would need room "
      "7's south exit; none gets it) [-Wone-way]\n"
      "town.c:106: warning: room 8: the north exit to room 10 is one-way (room 10's record is "
      "not as the room writer writes it, so it is not rewritten) [-Wone-way]\n"
      "town.c:132: warning: room 11: the east exit to room 99 is one-way (no file has room 99: "
      "check reports it as an error) [-Wone-way]\n"
      "2 exits added, 5 one-way exits left.\n";
  // A dry run says the same and changes nothing.
  RunResult result = link({"--dry-run", "town.c"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, report);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(read("town.c"), before);
  EXPECT_EQ(names(), (std::set<std::string>{"town.c"}));

  result = link({"town.c"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, report);
  EXPECT_EQ(result.err, "The old contents of town.c are kept in town.c.~1~.\n");
  EXPECT_EQ(read("town.c.~1~"), before);
  const std::string after = read("town.c");
  EXPECT_EQ(changedLines(before, after), (std::vector<int>{19, 58}));  // rooms 2 and 9
  EXPECT_NE(after.find("int links[]={ -1,1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1 };"), std::string::npos);
  // Once more: nothing to add, and no file rewritten.
  result = link({"town.c"});
  EXPECT_TRUE(endsWith(result.out, "0 exits added, 5 one-way exits left.\n")) << result.out;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(names(), (std::set<std::string>{"town.c", "town.c.~1~"}));
  // check sees no one-way exit but those link spoke of; the exit to a
  // room no file has is its error.
  const RunResult checked = runBinary("", dir.path(), {"check", "-Wno-unreachable", "town.c"});
  EXPECT_EQ(count(checked.out, "[-Wone-way]"), 4) << checked.out;
  EXPECT_NE(checked.out.find("town.c:132: error: room 11: the east exit leads to room 99"),
            std::string::npos)
      << checked.out;
  for (const char* exit :
       {"room 3: the east", "room 5: the north", "room 6: the north", "room 8: the north"}) {
    EXPECT_NE(checked.out.find(exit), std::string::npos) << exit;
  }
}

TEST_F(LinkCommand, AcrossFilesAndWithABaseline) {
  // a's room 1 east into b's room 10; b's room 11 north into a's room 2;
  // a's room 3 up to b's room 12, meant to be one-way.
  write("a.c", roomRecord(worldRoom(1, "Gate", {{3, 10}}, "a")) +
                   roomRecord(worldRoom(2, "Yard", {}, "a")) +
                   roomRecord(worldRoom(3, "Chute", {{9, 12}}, "a")));
  write("b.c", roomRecord(worldRoom(10, "Road", {}, "b")) +
                   roomRecord(worldRoom(11, "Inn", {{1, 2}}, "b")) +
                   roomRecord(worldRoom(12, "Cellar", {}, "b")));
  write("known.txt",
        "a.c:27: warning: room 3: the up exit to room 12 is one-way (room 12 has no down exit "
        "back) [-Wone-way]\n");
  const RunResult result = link({"--baseline", "known.txt", "a.c", "b.c"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "a.c:14: note: room 2: south exit to room 11 added\n"
            "b.c:1: note: room 10: west exit to room 1 added\n"
            "2 exits added, 0 one-way exits left.\n");
  EXPECT_EQ(result.err,
            "The old contents of a.c are kept in a.c.~1~.\n"
            "The old contents of b.c are kept in b.c.~1~.\n");
  EXPECT_NE(read("b.c").find("int links[]={ -1,-1,-1,1,"), std::string::npos);
  const RunResult checked = runBinary("", dir.path(), {"check", "a.c", "b.c"});
  EXPECT_EQ(count(checked.out, "[-Wone-way]"), 1) << checked.out;
  EXPECT_NE(checked.out.find("a.c:27: warning: room 3: the up exit to room 12 is one-way"),
            std::string::npos);
}

TEST_F(LinkCommand, AFailedWriteOfTheSecondFileChangesNeither) {
  // Both files get an exit: 2 south to 10 in a.c, 10 west to 1 in b.c.
  write("a.c", roomRecord(worldRoom(1, "Gate", {{3, 10}}, "a")) +
                   roomRecord(worldRoom(2, "Yard", {}, "a")));
  std::string large = roomRecord(worldRoom(10, "Road", {{1, 2}}, "b"));
  for (int n = 20; n < 120; ++n)
    large += roomRecord(worldRoom(n, "Field", {}, "b"));
  write("b.c", large);
  const std::string a = read("a.c");
  // a.c anew fits under the file size limit; b.c anew, written second, does not.
  const RunResult result = runBinary("", dir.path(), {"link", "a.c", "b.c"}, [size = large.size()] {
    signal(SIGXFSZ, SIG_DFL);
    struct rlimit limit = {size - 100, size - 100};
    setrlimit(RLIMIT_FSIZE, &limit);
  });
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "roombuilder: b.c: File too large\n");
  EXPECT_EQ(read("a.c"), a);
  EXPECT_EQ(read("b.c"), large);
  EXPECT_EQ(names(), (std::set<std::string>{"a.c", "b.c"}));
}

TEST_F(LinkCommand, WrongArgumentsAndFilesInUse) {
  write("a.c", roomRecord(worldRoom(1, "Gate", {})));
  EXPECT_EQ(link({}).status, 2);
  EXPECT_EQ(link({"--frobnicate", "a.c"}).status, 2);
  const RunResult missing = link({"a.c", "none.c"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, "roombuilder: none.c: No such file or directory\n");
}

// On generated areas: every exit added is the way back of an exit that was
// there, no exit that was there changes, and a second run adds nothing.
TEST_F(LinkCommand, WaysBackOnGeneratedAreas) {
  std::mt19937 random(19);
  for (int round = 0; round < 20; ++round) {
    const int rooms = 10 + static_cast<int>(random() % 30);
    std::vector<Exits> exits(static_cast<std::size_t>(rooms + 1));
    std::string text;
    for (int n = 1; n <= rooms; ++n) {
      WorkingRoom room = worldRoom(n, "Room", {});
      for (int slot = 1; slot <= kExitCount; ++slot) {
        if (random() % 4 == 0)
          room.exitd[static_cast<std::size_t>(slot)] =
              1 + static_cast<int>(random() % static_cast<unsigned>(rooms + 2));
      }
      exits[static_cast<std::size_t>(n)] = room.exitd;
      text += roomRecord(room);
    }
    write("g.c", text);
    std::filesystem::remove_all(dir.file("g.c.~1~"));
    ASSERT_EQ(link({"g.c"}).status, 0);
    World linked;
    linked.read({dir.file("g.c")});
    for (int n = 1; n <= rooms; ++n) {
      for (int slot = 1; slot <= kExitCount; ++slot) {
        const int was = exits[static_cast<std::size_t>(n)][static_cast<std::size_t>(slot)];
        const int now = linked.graph().exit(static_cast<std::size_t>(n - 1), slot);
        if (was != kNoExit) {
          ASSERT_EQ(now, was) << "round " << round << ": room " << n << " slot " << slot;
        } else if (now != kNoExit) {
          // Added: the way back of the exit of room `now` the opposite way.
          const int opposite = exitSlot(slot).opposite;
          ASSERT_EQ(exits[static_cast<std::size_t>(now)][static_cast<std::size_t>(opposite)], n)
              << "round " << round;
        }
      }
    }
    const std::string once = read("g.c");
    const std::string again = link({"g.c"}).out;
    EXPECT_TRUE(again.rfind("0 exits added, ", 0) == 0 ||
                again.find("\n0 exits added, ") != std::string::npos)
        << again;
    EXPECT_EQ(read("g.c"), once);
  }
}

}  // namespace
}  // namespace rb::test

namespace rb::test {
namespace {

// What a review of link found, each through the real executable: what is
// not a regular file, links of both kinds, files the user may not write,
// one file named twice, thousands of files, leftovers of a killed run and
// names that would reach the terminal raw.
class LinkFiles : public LinkCommand {
 protected:
  // Room 1 north to room 2, which lacks the way back: link adds it.
  static std::string oneWayPair(const std::string& region = "town") {
    return roomRecord(worldRoom(1, "Gate", {{1, 2}}, region)) +
           roomRecord(worldRoom(2, "Yard", {}, region));
  }
  static std::string linkedPair(const std::string& region = "town") {
    return roomRecord(worldRoom(1, "Gate", {{1, 2}}, region)) +
           roomRecord(worldRoom(2, "Yard", {{2, 1}}, region));
  }
};

TEST_F(LinkFiles, OnlyRegularFilesAreRewrittenAndNothingWaits) {
  ASSERT_EQ(mkfifo(dir.file("pipe.c").c_str(), 0644), 0);
  RunResult result = link({"pipe.c"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err,
            "roombuilder: pipe.c: not a regular file; only regular files are rewritten\n");
  result = runBinary(oneWayPair(), dir.path(), {"link", "/dev/stdin"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err,
            "roombuilder: /dev/stdin: not a regular file; only regular files are rewritten\n");
  // A dry run only reads: a pipe is read as it is.
  result = runBinary(oneWayPair(), dir.path(), {"link", "-n", "/dev/stdin"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "/dev/stdin:14: note: room 2: south exit to room 1 added\n"
            "1 exit added, 0 one-way exits left.\n");
}

TEST_F(LinkFiles, ASymbolicLinkStaysALinkToTheFileRewritten) {
  std::filesystem::create_directory(dir.file("real"));
  write("real/town.c", oneWayPair());
  std::filesystem::create_symlink("real/town.c", dir.file("town.c"));
  const RunResult result = link({"town.c"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "town.c:14: note: room 2: south exit to room 1 added\n"
            "1 exit added, 0 one-way exits left.\n");
  EXPECT_EQ(result.err, "The old contents of town.c are kept in real/town.c.~1~.\n");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("town.c")));
  EXPECT_EQ(read("real/town.c"), linkedPair());
  EXPECT_EQ(read("real/town.c.~1~"), oneWayPair());
  EXPECT_EQ(names(), (std::set<std::string>{"real", "town.c"}));
}

TEST_F(LinkFiles, AFileOfTwoNamesIsRewrittenInPlaceAndItsBackupIsACopy) {
  write("town.c", oneWayPair());
  ASSERT_EQ(::link(dir.file("town.c").c_str(), dir.file("other.c").c_str()), 0);
  struct stat before {};
  ASSERT_EQ(stat(dir.file("town.c").c_str(), &before), 0);
  const RunResult result = link({"town.c"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "The old contents of town.c are kept in town.c.~1~.\n");
  // Every name sees the new contents; the backup is another file.
  EXPECT_EQ(read("town.c"), linkedPair());
  EXPECT_EQ(read("other.c"), linkedPair());
  EXPECT_EQ(read("town.c.~1~"), oneWayPair());
  struct stat after {
  }, backup{};
  ASSERT_EQ(stat(dir.file("town.c").c_str(), &after), 0);
  ASSERT_EQ(stat(dir.file("town.c.~1~").c_str(), &backup), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_NE(backup.st_ino, before.st_ino);
  EXPECT_EQ(names(), (std::set<std::string>{"town.c", "other.c", "town.c.~1~"}));
}

TEST_F(LinkFiles, OneFileNamedTwiceIsOneFile) {
  write("town.c", oneWayPair());
  ASSERT_EQ(::link(dir.file("town.c").c_str(), dir.file("other.c").c_str()), 0);
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"-n", "town.c", "town.c"}, {"-n", "town.c", "./town.c"}, {"-n", "town.c", "other.c"}}) {
    const RunResult result = link(args);
    EXPECT_EQ(result.status, 0) << args[2] << result.err;
    EXPECT_EQ(result.out,
              "town.c:14: note: room 2: south exit to room 1 added\n"
              "1 exit added, 0 one-way exits left.\n")
        << args[2];
  }
  const RunResult result = link({"town.c", "./town.c"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(read("town.c"), linkedPair());
}

TEST_F(LinkFiles, AFileTheUserMayNotWriteIsRefused) {
  write("town.c", oneWayPair());
  chmod(dir.file("town.c").c_str(), 0444);
  chmod(dir.path().c_str(), 0777);
  const RunResult result = runBinaryAsUser(65534, "", dir.path(), {"link", "town.c"});
  if (result.status == kCannotRunAsUser) GTEST_SKIP() << "cannot run as another user here";
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "roombuilder: town.c: Permission denied\n");
  EXPECT_EQ(read("town.c"), oneWayPair());
  EXPECT_EQ(names(), (std::set<std::string>{"town.c"}));
}

TEST_F(LinkFiles, LeftoversOfAKilledRunAreRemovedAndNamesAreEscaped) {
  // A name with an escape sequence that would retitle the terminal.
  const std::string name = "t\x1b]0;x\a.c";
  write(name, oneWayPair());
  write("." + name + ".rb-a1B2c3", "half a file");
  write(".other.c.rb-a1B2c3", "another file's");
  const RunResult result = link({name});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "t\\x1B]0;x\\x07.c:14: note: room 2: south exit to room 1 added\n"
            "1 exit added, 0 one-way exits left.\n");
  EXPECT_EQ(result.err,
            "The old contents of t\\x1B]0;x\\x07.c are kept in t\\x1B]0;x\\x07.c.~1~.\n");
  EXPECT_EQ(names(), (std::set<std::string>{name, name + ".~1~", ".other.c.rb-a1B2c3"}));
}

// Thousands of files under a limit of 1,024 descriptors: those that cannot
// be held open are read one at a time and locked when written.
TEST_F(LinkFiles, FiveThousandFilesUnderALimitOf1024Descriptors) {
  constexpr int kFiles = 5000;
  for (int k = 0; k < kFiles; ++k) {
    // Room k's north exit leads to the next file's room, which has no way back.
    write("f" + std::to_string(k) + ".c",
          roomRecord(worldRoom(k, "Room", {{1, (k + 1) % kFiles}}, "f")));
  }
  const RunResult result = runShell(
      "ulimit -n 1024 && " ROOMBUILDER_BINARY " link f*.c 2>&1 >/dev/null | wc -l", dir.path());
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, std::to_string(kFiles) + "\n");  // a backup notice for each
  const RunResult checked = runShell(
      "ulimit -n 1024 && " ROOMBUILDER_BINARY " check -Wno-same-text f*.c | tail -1", dir.path());
  EXPECT_EQ(checked.out, "5000 rooms, 10000 exits: 0 errors, 0 warnings.\n");
}

}  // namespace
}  // namespace rb::test
