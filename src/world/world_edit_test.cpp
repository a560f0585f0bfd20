// WorldEdit: every kind of step on generated worlds against a model of the
// files as lists of pieces, a world read again after an edit, and the ways
// an edit must leave every file as it was.
#include "world/world_edit.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <random>

#include "format/data_row.h"
#include "format/room_record.h"
#include "room_generator.h"
#include "test_support.h"
#include "world_texts.h"

namespace rb {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

// A world of two room files and a data file as pieces: a room file is its
// prologue and its records, a data file its lines; a piece is null once
// deleted, and what is inserted after it follows it.
struct Piece {
  explicit Piece(std::string t) : text(std::move(t)) {}
  std::string text;
  bool deleted = false;
  std::vector<std::string> after;
};
struct ModelFile {
  std::string name;
  std::string prologue;
  std::vector<Piece> pieces;  // records, or lines of a data file
  std::vector<std::string> end;
  bool crLf = false;

  std::string text() const {
    std::string out = prologue;
    const auto add = [&](const std::string& t) {
      if (t.empty()) return;
      if (!out.empty() && out.back() != '\n') out += crLf ? "\r\n" : "\n";
      out += t;
    };
    for (const Piece& piece : pieces) {
      if (!piece.deleted) out += piece.text;
      for (const std::string& t : piece.after)
        add(t);
    }
    for (const std::string& t : end)
      add(t);
    return out;
  }
};

class GeneratedWorld {
 public:
  GeneratedWorld(unsigned seed, const TempDir& dir) : random_(seed), rooms_(seed) {
    AreaDefaults area;
    area.region = 7;
    for (int k = 0; k < 2; ++k) {
      ModelFile file;
      file.name = dir.file("area" + std::to_string(k) + ".c");
      file.crLf = k == 1 && pick(0, 2) == 0;
      if (pick(0, 1)) file.prologue = "/* area " + std::to_string(k) + " */\n#include \"x.h\"\n";
      const int count = pick(0, 8);
      for (int r = 0; r < count; ++r) {
        WorkingRoom room = rooms_.room();
        std::string text = roomRecord(room);
        if (pick(0, 5) == 0) text.replace(text.find("OBJECT user;"), 12, "OBJECT  user;");
        file.pieces.emplace_back(file.crLf ? test::withCrLf(text) : text);
        rows_.push_back(room);
      }
      // At times the last record lacks its final line break.
      if (!file.pieces.empty() && !file.crLf && pick(0, 3) == 0) file.pieces.back().text.pop_back();
      files_.push_back(file);
    }
    ModelFile data;
    data.name = dir.file("area.dat");
    data.pieces.emplace_back("/* the rows */\n");
    for (const WorkingRoom& room : rows_)
      data.pieces.emplace_back(dataRow(room, area));
    data.pieces.emplace_back("#define X 1\n");
    files_.push_back(data);
    for (const ModelFile& file : files_)
      writeFile(file.name, file.text());
  }

  std::vector<std::string> names() const {
    std::vector<std::string> all;
    for (const ModelFile& file : files_)
      all.push_back(file.name);
    return all;
  }

  // Random steps, each done to the edit and to the model; a data file's
  // rows are its pieces but the first and the last (a comment and a
  // preprocessor line).
  void edit(World& world, WorldEdit& edit, int steps) {
    for (int s = 0; s < steps; ++s) {
      const std::size_t f = static_cast<std::size_t>(pick(0, 2));
      ModelFile& model = files_[f];
      const WorldFile& file = world.files()[f];
      std::string room = roomRecord(rooms_.room());
      if (model.crLf) room = test::withCrLf(room);
      const std::size_t count =
          file.rooms ? file.endRecord - file.firstRecord : file.endRow - file.firstRow;
      const int kind = pick(0, 5);
      const std::string row = "townl_" + std::to_string(pick(0, 99)) + ",1,0,0,1,1,0,0,3,\"\",\n";
      if (count == 0 || kind == 5) {
        model.end.push_back(file.rooms ? room : row);
        file.rooms ? edit.insertRecordTextAtEnd(f, room) : edit.insertRowTextAtEnd(f, row);
        continue;
      }
      const std::size_t k = static_cast<std::size_t>(pick(0, static_cast<int>(count) - 1));
      Piece& piece = model.pieces[file.rooms ? k : k + 1];
      if (file.rooms) {
        const std::size_t record = file.firstRecord + k;
        if (kind == 0 && !piece.deleted) {
          piece.text = room;
          edit.replaceRecordText(record, room);
        } else if (kind == 1 && !piece.deleted && world.isWriters(record)) {
          Exits exits;
          exits.fill(kNoExit);
          exits[static_cast<std::size_t>(pick(1, 12))] = pick(-5, 500);
          edit.replaceLinks(record, exits);
          piece.text = *edit.recordTextNow(record);
          ASSERT_EQ(piece.text.find(appendedLinks(exits)), piece.text.find("int links"));
        } else if (kind == 2) {
          piece.after.push_back(room);
          edit.insertRecordTextAfter(record, room);
        } else {
          piece.deleted = true;
          edit.deleteRecord(record);
        }
      } else {
        const std::size_t index = file.firstRow + k;
        if (kind <= 1 && !piece.deleted) {
          piece.text = row;
          edit.replaceRowText(index, row);
        } else if (kind == 2) {
          piece.after.push_back(row);
          edit.insertRowTextAfter(index, row);
        } else {
          piece.deleted = true;
          edit.deleteRow(index);
        }
      }
    }
  }

  void expectFiles(const std::string& seed) const {
    for (const ModelFile& file : files_)
      EXPECT_EQ(readFile(file.name), file.text()) << seed << " " << file.name;
  }
  const std::vector<ModelFile>& files() const { return files_; }

 private:
  static std::string appendedLinks(const Exits& exits) {
    std::string line;
    appendLinksLine(line, exits);
    line.pop_back();
    return line;
  }
  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

  std::mt19937 random_;
  test::RoomGenerator rooms_;
  std::vector<ModelFile> files_;
  std::vector<WorkingRoom> rows_;
};

TEST(WorldEdit, EveryKindOfStepChangesExactlyItsBytes) {
  for (unsigned seed = 1; seed <= 60; ++seed) {
    TempDir dir;
    GeneratedWorld generated(seed, dir);
    World world;
    WorldReading reading;
    reading.hashes = true;
    reading.hold = InputFile::Lock::Exclusive;
    world.read(generated.names(), reading);
    WorldEdit edit(world);
    generated.edit(world, edit, 1 + static_cast<int>(seed % 7));
    const EditOutcome outcome = edit.apply();
    ASSERT_EQ(outcome.status, EditOutcome::Status::Done) << seed << outcome.reason;
    generated.expectFiles("seed " + std::to_string(seed));
    // Each file changed has its old contents in its first backup; nothing
    // else is left in the folder.
    std::size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      (void)entry;
      ++entries;
    }
    EXPECT_EQ(entries, generated.files().size() + outcome.backups.size()) << seed;
    // The world read again holds the rooms as written.
    World again;
    again.read(generated.names());
    for (std::size_t record = 0; record < again.records(); ++record) {
      if (!again.isWriters(record)) continue;
      WorkingRoom room = again.room(record);
      EXPECT_EQ(roomRecord(room), again.recordText(record)) << seed;
    }
  }
}

// The rooms read again from their records are the rooms the writer wrote,
// every field at its limits; darkness and terrain come from the row.
TEST(World, RoomReadAgainIsTheRoomWritten) {
  TempDir dir;
  test::RoomGenerator generate(23);
  std::vector<WorkingRoom> rooms;
  std::string roomText, dataText, crLfText;
  for (int k = 0; k < 300; ++k) {
    WorkingRoom room = generate.room();
    room.room = k;  // a function name each, so that each gets its row
    room.tempregionname = "r";
    rooms.push_back(room);
    roomText += roomRecord(room);
    dataText += test::worldRow(room, k);
  }
  writeFile(dir.file("a.c"), roomText);
  writeFile(dir.file("a.dat"), dataText);
  writeFile(dir.file("b.c"), test::withCrLf(roomText));
  World world;
  world.read({dir.file("a.c"), dir.file("a.dat")});
  World crLfWorld;
  crLfWorld.read({dir.file("b.c")});
  ASSERT_EQ(world.records(), rooms.size());
  for (std::size_t k = 0; k < rooms.size(); ++k) {
    const WorkingRoom room = world.room(k);
    // The writer writes the same record and row for both: every field read.
    EXPECT_EQ(roomRecord(room), roomRecord(rooms[k])) << k;
    EXPECT_EQ(room.roomdark, rooms[k].roomdark) << k;
    EXPECT_EQ(room.roomterrain, rooms[k].roomterrain) << k;
    EXPECT_EQ(world.roomRegion(k), static_cast<int>(k));
    EXPECT_EQ(roomRecord(crLfWorld.room(k)), roomRecord(rooms[k])) << k;
    if (world.isWriters(k)) {
      EXPECT_EQ(crLfWorld.recordFlags(k) & World::kCrLfWriters, World::kCrLfWriters);
    }
  }
}

class WorldEditFailure : public ::testing::Test {
 protected:
  void SetUp() override {
    a = roomRecord(test::worldRoom(1, "Gate", {{1, 2}})) +
        roomRecord(test::worldRoom(2, "Yard", {}));
    b = roomRecord(test::worldRoom(3, "Mill", {})) + std::string(200000, '\n');
    writeFile(dir.file("a.c"), a);
    writeFile(dir.file("b.c"), b);
  }
  World readWorld(bool hashes = true) {
    World world;
    WorldReading reading;
    reading.hashes = hashes;
    world.read({dir.file("a.c"), dir.file("b.c")}, reading);
    return world;
  }
  void expectAsItWas() {
    EXPECT_EQ(readFile(dir.file("a.c")), a);
    EXPECT_EQ(readFile(dir.file("b.c")), b);
    std::size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      (void)entry;
      ++entries;
    }
    EXPECT_EQ(entries, 2u);
  }

  TempDir dir;
  std::string a, b;
};

// The second file's new contents do not fit under the file size limit:
// neither file changes and no temporary file stays.
TEST_F(WorldEditFailure, AFailedWriteOfTheSecondFile) {
  const pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);  // as the program does: a write fails instead
    struct rlimit limit = {150000, 150000};
    setrlimit(RLIMIT_FSIZE, &limit);
    World world = readWorld();
    WorldEdit edit(world);
    edit.insertRecordTextAtEnd(0, roomRecord(test::worldRoom(4, "Loft", {})));
    edit.insertRecordTextAtEnd(1, roomRecord(test::worldRoom(5, "Shed", {})));
    const EditOutcome outcome = edit.apply();
    _exit(outcome.status == EditOutcome::Status::Failed && outcome.file == dir.file("b.c") &&
                  outcome.reason == "File too large"
              ? 0
              : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  expectAsItWas();
}

// A record moved in place behind the edit's back, the file's length and
// modification time as they were: the bytes the step replaces tell.
TEST_F(WorldEditFailure, AFileChangedBehindTheEditsBack) {
  // With the hashes of the records, and with what the world knows of each
  // (link reads no hashes): the two records swap places, same length,
  // modification time put back, another room at each offset.
  const std::string swapped =
      roomRecord(test::worldRoom(2, "Yard", {})) + roomRecord(test::worldRoom(1, "Gate", {{1, 2}}));
  ASSERT_EQ(swapped.size(), a.size());
  Exits exits;
  exits.fill(kNoExit);
  exits[2] = 1;
  for (const bool hashes : {true, false}) {
    writeFile(dir.file("a.c"), a);
    World world = readWorld(hashes);
    WorldEdit edit(world);
    edit.replaceLinks(1, exits);  // room 2 gets its way back south
    struct stat before {};
    ASSERT_EQ(stat(dir.file("a.c").c_str(), &before), 0);
    writeFile(dir.file("a.c"), swapped);
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, dir.file("a.c").c_str(), times, 0), 0);
    const EditOutcome outcome = edit.apply();
    EXPECT_EQ(outcome.status, EditOutcome::Status::Changed) << hashes;
    EXPECT_EQ(outcome.file, dir.file("a.c"));
    EXPECT_EQ(readFile(dir.file("a.c")), swapped);
  }
  a = swapped;
  expectAsItWas();
  // Grown, or replaced by another file of the same name: the same.
  for (const bool grow : {true, false}) {
    World fresh = readWorld();
    WorldEdit next(fresh);
    next.replaceLinks(1, exits);
    if (grow) {
      a += "\n";
      writeFile(dir.file("a.c"), a);
    } else {
      writeFile(dir.file("c.c"), a);
      std::filesystem::rename(dir.file("c.c"), dir.file("a.c"));
    }
    EXPECT_EQ(next.apply().status, EditOutcome::Status::Changed) << grow;
    expectAsItWas();
  }
}

// Putting the third of four files in place fails: the two already in place
// are put back, their backups go, and each file's state is said.
TEST(ReplacementFiles, AFailedRenamePutsBackThoseAlreadyInPlace) {
  TempDir dir;
  std::vector<std::string> names;
  for (int k = 0; k < 4; ++k) {
    names.push_back(dir.file("f" + std::to_string(k)));
    writeFile(names.back(), "old " + std::to_string(k) + "\n");
  }
  std::vector<ReplacementFile> files(4);
  for (int k = 0; k < 4; ++k) {
    ASSERT_TRUE(files[static_cast<std::size_t>(k)].start(names[static_cast<std::size_t>(k)]));
    ASSERT_TRUE(files[static_cast<std::size_t>(k)].write("new\n"));
    ASSERT_TRUE(files[static_cast<std::size_t>(k)].finishWriting());
  }
  int calls = 0;
  const ReplacementOutcome outcome =
      commitReplacements(files, [&](const char* from, const char* to) {
        if (++calls == 3) {
          errno = EXDEV;
          return -1;
        }
        return ::rename(from, to);
      });
  EXPECT_FALSE(outcome.done);
  EXPECT_EQ(outcome.failedName, names[2]);
  EXPECT_EQ(outcome.reason, std::strerror(EXDEV));
  const ReplacedFile::State expected[] = {
      ReplacedFile::State::PutBack, ReplacedFile::State::PutBack, ReplacedFile::State::AsItWas,
      ReplacedFile::State::AsItWas};
  for (std::size_t k = 0; k < 4; ++k) {
    EXPECT_EQ(outcome.files[k].state, expected[k]) << k;
    EXPECT_EQ(readFile(names[k]), "old " + std::to_string(k) + "\n");
  }
  std::size_t entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 4u);  // no backup, no temporary file
}

}  // namespace
}  // namespace rb
