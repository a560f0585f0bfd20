// `roombuilder edit` through the real executable, its keys piped: each key's
// work on a small world and the exact bytes of every file afterwards, undo
// and redo, leaving, the journal of an edit cut off, and a random property
// test of changes and undos against the same changes made without them.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <random>

#include "format/data_row.h"
#include "format/room_record.h"
#include "test_support.h"
#include "world_texts.h"

namespace rb::test {
namespace {

// town.c: 1 Gate (north to 2), 2 Yard (south to 1, east to 5), 5 Well (west
// to 2), 3 Loft (alone). road.c: 10 Road (west to 1, which has no east
// exit back). world.dat: their rows.
struct EditWorld {
  std::vector<WorkingRoom> town = {worldRoom(1, "Gate", {{1, 2}}),
                                   worldRoom(2, "Yard", {{2, 1}, {3, 5}}),
                                   worldRoom(5, "Well", {{4, 2}}), worldRoom(3, "Loft", {})};
  std::vector<WorkingRoom> road = {worldRoom(10, "Road", {{4, 1}}, "road")};

  WorkingRoom& room(int number) {
    for (auto* list : {&town, &road}) {
      for (WorkingRoom& r : *list) {
        if (r.room == number) return r;
      }
    }
    throw std::runtime_error("no room " + std::to_string(number));
  }
  void write(const TempDir& dir) const {
    std::string rows = "/* rows */\n";
    for (const auto* list : {&town, &road}) {
      std::string text;
      for (const WorkingRoom& r : *list) {
        text += roomRecord(r);
        rows += worldRow(r);
      }
      writeFile(dir.file(list == &town ? "town.c" : "road.c"), text);
    }
    writeFile(dir.file("world.dat"), rows);
  }
};

// A new room as a dig makes it: no texts, the way back, the region and
// looks of the room it was dug from.
WorkingRoom dugRoom(int number, int backSlot, int from, const std::string& region = "town") {
  WorkingRoom r = worldRoom(number, "", {{backSlot, from}}, region);
  return r;
}

class EditCommand : public ::testing::Test {
 protected:
  RunResult edit(const std::string& keys, const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args = {"edit"};
    args.insert(args.end(), extra.begin(), extra.end());
    for (const char* file : {"town.c", "road.c", "world.dat"})
      args.push_back(file);
    return runBinary(keys, dir.path(), args);
  }
  // The files as `expected` writes them.
  void expectFiles(const EditWorld& expected) {
    TempDir other;
    expected.write(other);
    for (const char* file : {"town.c", "road.c", "world.dat"})
      EXPECT_EQ(readFile(dir.file(file)), readFile(other.file(file))) << file;
  }

  TempDir dir;
};

TEST_F(EditCommand, EachKeysWorkWrittenAsTheWriterWritesIt) {
  struct Case {
    const char* name;
    std::string keys;
    std::function<void(EditWorld&)> change;
  };
  const std::vector<Case> cases = {
      {"edit a field", "1\ne3Gate House\n0qy",
       [](EditWorld& w) { w.room(1).shortname = "Gate House"; }},
      {"dig east into a new room after the highest number below it", "1\n6y\n3Shed\n0qy",
       [](EditWorld& w) {
         w.room(1).exitd[3] = 4;
         WorkingRoom shed = dugRoom(4, 4, 1);
         shed.shortname = "Shed";
         w.town.push_back(shed);  // after 3, the highest number below 4
       }},
      {"dig northeast where the grid holds room 5: linked instead", "1\n9yyqy",
       [](EditWorld& w) {
         w.room(1).exitd[5] = 5;
         w.room(5).exitd[7] = 1;
       }},
      {"dig up with a number typed, left with x", "2\nuy7\nxqy",
       [](EditWorld& w) {
         w.room(2).exitd[9] = 7;
         w.town.insert(w.town.begin() + 3, dugRoom(7, 10, 2));  // after 5
       }},
      {"copy: every field, no exits, right after the original", "1\nc\nqy",
       [](EditWorld& w) {
         WorkingRoom copy = w.room(1);
         copy.room = 4;
         copy.exitd.fill(kNoExit);
         w.town.insert(w.town.begin() + 1, copy);
       }},
      {"delete: every exit to it becomes none; the start prompt then", "1\nXyq\ny",
       [](EditWorld& w) {
         w.room(2).exitd[2] = kNoExit;
         w.room(10).exitd[4] = kNoExit;
         w.town.erase(w.town.begin());
       }},
      {"link: the way back", "10\nlqy", [](EditWorld& w) { w.room(1).exitd[3] = 10; }},
      {"undo, then redo", "1\ne3A\n0e3B\n0zzrqy", [](EditWorld& w) { w.room(1).shortname = "A"; }},
      {"undo of a delete and a dig", "1\nXy2\nuy\n0zzqy", [](EditWorld&) {}},
      {"write, then more", "1\ne3A\n0we3B\n0qy", [](EditWorld& w) { w.room(1).shortname = "B"; }},
      {"leave with n drops the changes", "1\ne3A\n0qn", [](EditWorld&) {}},
      {"leave with another key goes back to the walk", "1\ne3A\n0qxqy",
       [](EditWorld& w) { w.room(1).shortname = "A"; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      std::filesystem::remove_all(entry.path());
    EditWorld world;
    world.write(dir);
    const RunResult result = edit(c.keys);
    EXPECT_EQ(result.status, 0) << result.out << result.err;
    c.change(world);
    expectFiles(world);
    EXPECT_FALSE(fileExists(dir.file(".town.c.journal")));
  }
}

TEST_F(EditCommand, WhatTheWalkSays) {
  EditWorld world;
  world.write(dir);
  const RunResult result = edit("7\n1\nzz8Xn?q", {"--room", "99"});
  EXPECT_EQ(result.status, 0);
  const std::string yard = "Room 2 in town.c\nYard\n\nSouth:\t1\nEast:\t5\n";
  const std::string gate = "Room 1 in town.c\nGate\nNorth:\t2\n";
  EXPECT_EQ(result.out,
            "No such room.\n"
            "Which room do you wish to start in? (q to quit)\n"
            "No such room.\n"
            "Which room do you wish to start in? (q to quit)\n" +
                gate + "Nothing to undo.\n" + gate + "Nothing to undo.\n" + gate + yard +
                "Delete room 2? 2 exits lead to it. (y/n)\n" + yard +
                "8 2 6 4 9 3 1 7 u d i o: move that way; where there is no exit, dig a new room\n"
                "e: edit this room    c: copy it    X: delete it    l: link its exits back\n"
                "z: undo    r: redo    w: write the changes    s: statistics\n"
                "q or 5: leave\n" +
                yard);
  // A change counts in the room's line until it is written.
  const RunResult changed = edit("1\ne3A\n0e3B\n0", {});
  EXPECT_EQ(changed.status, 1);  // the end of input, the journal kept
  EXPECT_NE(changed.out.find("Room 1 in town.c, 2 changes not written\nB\n"), std::string::npos);
  EXPECT_TRUE(fileExists(dir.file(".town.c.journal")));
}

TEST_F(EditCommand, AnEditCutOffIsRecoveredOrDropped) {
  EditWorld world;
  world.write(dir);
  // Cut off by the end of input after two changes and an undo.
  EXPECT_EQ(edit("1\ne3A\n06y\n0z").status, 1);
  const RunResult recovered = edit("y1\nqy");
  EXPECT_EQ(recovered.status, 0) << recovered.out;
  EXPECT_EQ(recovered.out.substr(0, recovered.out.find('\n') + 1),
            "An earlier edit of these files was cut off with 1 change not written. Recover them? "
            "(y/n)\n");
  world.room(1).shortname = "A";
  expectFiles(world);
  EXPECT_FALSE(fileExists(dir.file(".town.c.journal")));

  // Dropped: the files stay.
  EXPECT_EQ(edit("1\ne3B\n0").status, 1);
  EXPECT_EQ(edit("nq").status, 0);
  expectFiles(world);
  EXPECT_FALSE(fileExists(dir.file(".town.c.journal")));

  // The files changed since: the journal is kept aside, not replayed.
  EXPECT_EQ(edit("1\ne3C\n0").status, 1);
  world.room(3).shortname = "Attic";
  world.write(dir);
  const RunResult aside = edit("q");
  EXPECT_EQ(aside.status, 0);
  EXPECT_EQ(aside.out.substr(0, aside.out.find('\n') + 1),
            "The journal of an earlier edit of these files is kept as .town.c.journal.~1~: the "
            "files have changed since it was made.\n");
  EXPECT_TRUE(fileExists(dir.file(".town.c.journal.~1~")));
  expectFiles(world);
}

// Random changes and undos, written, give the files that the same changes
// without the undone ones give, and no error the world did not have.
TEST_F(EditCommand, UndoneChangesLeaveNoTrace) {
  std::mt19937 random(9);
  for (int round = 0; round < 10; ++round) {
    SCOPED_TRACE(round);
    std::string withUndo = "1\n", without = "1\n";
    for (int step = 0; step < 8; ++step) {
      // Each change surely changes something, so that z undoes it and no
      // earlier one; a link may change nothing, and is never undone.
      std::string change;
      switch (random() % 5) {
        case 0:
          change = "e3Name " + std::to_string(step) + "\n0";
          break;
        case 1:
          change = "e50";  // darkness
          break;
        case 2:
          // A dig up, and standing there: the new room has no up exit.
          change = "uy\n0";
          break;
        case 3:
          change = "c\n";
          break;
        default:
          withUndo += "l";
          without += "l";
          continue;
      }
      withUndo += change;
      if (random() % 3 == 0) {
        withUndo += "z";  // undone at once: the other walk never makes it
      } else {
        without += change;
      }
    }
    std::string first;
    for (const std::string& keys : {withUndo + "qy", without + "qy"}) {
      for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        std::filesystem::remove_all(entry.path());
      EditWorld().write(dir);
      const RunResult result = edit(keys);
      ASSERT_EQ(result.status, 0) << keys << result.out;
      std::string all;
      for (const char* file : {"town.c", "road.c", "world.dat"})
        all += readFile(dir.file(file));
      if (first.empty()) {
        first = all;
      } else {
        EXPECT_EQ(all, first) << withUndo << "\n" << without;
      }
      const RunResult check =
          runBinary("", dir.path(), {"check", "-Wno-unreachable", "town.c", "road.c", "world.dat"});
      EXPECT_EQ(check.out.find(": error: "), std::string::npos) << check.out;
    }
  }
}

// The program with its standard input and output on pipes that the test
// holds: keys sent a change at a time, each change seen done (its count in
// the room's line, the journal synced before that line is shown) before the
// next.
class Child {
 public:
  Child(const std::string& dir, const std::vector<std::string>& args) {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ == 0) {
      dup2(in[0], 0);
      dup2(out[1], 1);
      for (const int fd : {in[0], in[1], out[0], out[1]})
        close(fd);
      if (chdir(dir.c_str()) != 0) _exit(127);
      std::vector<char*> argv = {const_cast<char*>(ROOMBUILDER_BINARY)};
      for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
      argv.push_back(nullptr);
      execv(ROOMBUILDER_BINARY, argv.data());
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    to_ = in[1];
    from_ = out[0];
  }
  ~Child() {
    close(to_);
    close(from_);
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  void send(const std::string& keys) {
    ASSERT_EQ(write(to_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
  }
  // Reads until `text` has come; false when the program ended first, or
  // said nothing more for a minute.
  bool readUntil(const std::string& text) {
    for (;;) {
      if (seen_.find(text) != std::string::npos) {
        seen_.erase(0, seen_.find(text) + text.size());
        return true;
      }
      pollfd ready{from_, POLLIN, 0};
      if (poll(&ready, 1, 60000) <= 0) return false;
      char buffer[4096];
      const ssize_t got = read(from_, buffer, sizeof buffer);
      if (got <= 0) return false;
      seen_.append(buffer, static_cast<std::size_t>(got));
    }
  }
  int killNow() {
    kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return status;
  }

 private:
  pid_t pid_ = -1;
  int to_ = -1, from_ = -1;
  std::string seen_;
};

// Killed at random points of a long edit: the files are as they were, and
// the next run recovers every change made before the kill.
TEST_F(EditCommand, AKillLosesNoChangeMade) {
  std::mt19937 random(4);
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE(round);
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      std::filesystem::remove_all(entry.path());
    EditWorld world;
    world.write(dir);
    const int changes = 1 + static_cast<int>(random() % 12);
    std::string keys = "1\n";
    {
      Child child(dir.path(), {"edit", "town.c", "road.c", "world.dat"});
      child.send("1\n");
      for (int k = 1; k <= changes; ++k) {
        const std::string change = "e3Name " + std::to_string(k) + "\n0";
        keys += change;
        child.send(change);
        ASSERT_TRUE(child.readUntil(", " + std::to_string(k) + (k == 1 ? " change" : " changes") +
                                    " not written\n"));
      }
      EXPECT_EQ(child.killNow(), SIGKILL);
    }
    for (const char* file : {"town.c", "road.c", "world.dat"}) {
      TempDir old;
      world.write(old);
      EXPECT_EQ(readFile(dir.file(file)), readFile(old.file(file))) << file;
    }
    const RunResult recovered = edit("y1\nqy");
    EXPECT_EQ(recovered.status, 0);
    EXPECT_NE(recovered.out.find("cut off with " + std::to_string(changes) +
                                 (changes == 1 ? " change" : " changes") + " not written"),
              std::string::npos)
        << recovered.out;
    world.room(1).shortname = "Name " + std::to_string(changes);
    expectFiles(world);
  }
}

// A write killed before, between or after its files are put in place: each
// file is wholly old or wholly new, and the next run finishes the write.
TEST_F(EditCommand, AWriteCutOffIsFinishedAtTheNextStart) {
  const std::string keys = "1\ne3Gate House\n0w";
  EditWorld written;
  written.room(1).shortname = "Gate House";
  for (const char* inject : {"rename:signal=SIGKILL:when=1", "rename:signal=SIGKILL:when=2",
                             "unlink:signal=SIGKILL:when=1"}) {
    SCOPED_TRACE(inject);
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      std::filesystem::remove_all(entry.path());
    EditWorld old;
    old.write(dir);
    writeFile(dir.file("keys"), keys);
    const RunResult cut = runShell(
        std::string("strace -o /dev/null -e trace=rename,unlink -e inject=") + inject + " '" +
            ROOMBUILDER_BINARY + "' edit town.c road.c world.dat < keys > /dev/null",
        dir.path());
    EXPECT_NE(cut.status, 0);
    TempDir before, after;
    old.write(before);
    written.write(after);
    for (const char* file : {"town.c", "world.dat"}) {
      const std::string now = readFile(dir.file(file));
      EXPECT_TRUE(now == readFile(before.file(file)) || now == readFile(after.file(file))) << file;
    }
    const RunResult next = edit("q");
    EXPECT_EQ(next.status, 0);
    EXPECT_EQ(next.out.substr(0, next.out.find('\n') + 1),
              "An earlier write of these files was cut off; it is finished now.\n");
    expectFiles(written);
    EXPECT_FALSE(fileExists(dir.file(".town.c.journal")));
  }
}

// A record written by hand is walked through, never changed; a file
// changed behind the editor's back is not written over.
TEST_F(EditCommand, WhatCannotBeChangedIsNot) {
  EditWorld world;
  world.write(dir);
  std::string town = readFile(dir.file("town.c"));
  town.insert(town.find("OBJECT"), "/* by hand */\n");  // room 1's record
  writeFile(dir.file("town.c"), town);
  const std::string refusal = "Room 1 is not as the room writer writes it; change it by hand.\n";
  for (const char* keys : {"1\neq", "1\ncq", "1\nXq", "1\nlq", "1\n6q"}) {
    const RunResult result = edit(keys);
    EXPECT_EQ(result.status, 0) << keys;
    EXPECT_NE(result.out.find(refusal), std::string::npos) << keys << result.out;
    EXPECT_EQ(readFile(dir.file("town.c")), town);
  }
  EXPECT_NE(edit("10\nlq").out.find("Room 10: the west exit to room 1 stays one-way (room 1 is not "
                                    "as the room writer writes it).\n"),
            std::string::npos);
  // Room 2 can be deleted only if room 1's exit to it could become none.
  const RunResult deleted = edit("2\nXyq");
  EXPECT_NE(deleted.out.find(refusal), std::string::npos) << deleted.out;

  world.write(dir);
  Child child(dir.path(), {"edit", "town.c", "road.c", "world.dat"});
  child.send("1\ne3Mine\n0");
  ASSERT_TRUE(child.readUntil(", 1 change not written\n"));
  writeFile(dir.file("road.c"), readFile(dir.file("road.c")) + "\n");
  // A second edit of the same files is refused before anything is shown.
  const RunResult second = edit("1\nq");
  EXPECT_EQ(second.status, 2);
  EXPECT_EQ(second.out, "");
  EXPECT_NE(second.err.find("in use by another run of the program"), std::string::npos)
      << second.err;
  child.send("w");
  EXPECT_TRUE(child.readUntil("road.c was changed by another program; nothing was written.\n"));
  child.send("qn");
  EXPECT_TRUE(child.readUntil("The changes are dropped.\n"));
}

}  // namespace
}  // namespace rb::test
