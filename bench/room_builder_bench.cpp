// Benchmark of the real executable: a scripted area build piped into it,
// the explorer loading large room files, and the commands that read a whole
// world. Prints its figures; asserts nothing.
//
//   rb_bench ROOMBUILDER [ROOMS [WORLD_ROOMS]]
//
// Standard output of the timed runs goes to /dev/null; the room and data
// files go to a scratch directory on disk as in normal use. Each time is
// the best of five runs.
#include <fcntl.h>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "format/data_row.h"
#include "format/room_record.h"

namespace {

struct Run {
  double seconds = 0;
  std::size_t outBytes = 0;
};

enum class Mode { Timed, CountOutput };

// What a program is fed: `total` bytes of `text`, repeated as often as needed.
struct Input {
  Input(const std::string& all) : text(all), total(all.size()) {}  // NOLINT: implicit on purpose
  Input(const std::string& pattern, std::size_t bytes) : text(pattern), total(bytes) {}
  const std::string& text;
  std::size_t total;
};

// Writes the input into `fd` from a child process, so that the caller is
// free to wait for, count or trace the program reading it.
pid_t startFeeder(int fd, const Input& input, int otherFd) {
  const pid_t feeder = fork();
  if (feeder == 0) {
    if (otherFd >= 0) close(otherFd);
    for (std::size_t sent = 0; sent < input.total;) {
      const std::size_t at = sent % input.text.size();
      const std::size_t want = std::min(input.text.size() - at, input.total - sent);
      const ssize_t n = write(fd, input.text.data() + at, want);
      if (n <= 0) _exit(1);
      sent += static_cast<std::size_t>(n);
    }
    _exit(0);
  }
  close(fd);
  return feeder;
}

// Starts `argv` in `dir` with standard input from `inFd` and standard output
// to `outFd`; traced programs stop at their exec until the caller continues.
pid_t startProgram(const std::vector<std::string>& argv, const std::string& dir, int inFd,
                   int outFd, bool traced) {
  const pid_t child = fork();
  if (child == 0) {
    dup2(inFd, 0);
    dup2(outFd, 1);
    // What the commands say on standard error (backup notices) is not
    // what is measured.
    const int quiet = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (quiet >= 0) dup2(quiet, 2);
    if (chdir(dir.c_str()) != 0) _exit(126);
    if (traced) ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
    std::vector<char*> args;
    for (const std::string& arg : argv)
      args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  return child;
}

void expectSuccess(int status, const std::string& program, int expected = 0) {
  if (!WIFEXITED(status) || WEXITSTATUS(status) != expected) {
    throw std::runtime_error("run of " + program + " failed with " + std::to_string(status));
  }
}

// Runs `argv` in `dir` with `input` piped into it: timed with standard output
// to /dev/null, or with its standard output counted.
Run runPiped(const std::vector<std::string>& argv, const std::string& dir, const Input& input,
             Mode mode = Mode::Timed, int expected = 0) {
  // Every run builds a fresh area: files left by the run before would first
  // be kept in a numbered backup, which is not what is measured.
  for (const char* name : {"rooms.c", "rooms.dat", "new.c", "new.dat", "copy.c", "copy.dat"})
    std::filesystem::remove(std::filesystem::path(dir) / name);
  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
  const int sink = mode == Mode::Timed ? open("/dev/null", O_WRONLY | O_CLOEXEC) : out[1];
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = startProgram(argv, dir, in[0], sink, false);
  close(in[0]);
  close(out[1]);
  if (sink != out[1]) close(sink);
  const pid_t feeder = startFeeder(in[1], input, out[0]);
  Run run;
  char buf[1 << 16];
  for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) {
    run.outBytes += static_cast<std::size_t>(n);
  }
  close(out[0]);
  int status = 0;
  waitpid(child, &status, 0);
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  waitpid(feeder, nullptr, 0);
  std::string command;
  for (const std::string& arg : argv)
    command += arg + " ";
  expectSuccess(status, command, expected);
  return run;
}

double bestSeconds(int times, const std::vector<std::string>& argv, const std::string& dir,
                   const Input& input) {
  double best = runPiped(argv, dir, input).seconds;
  for (int i = 1; i < times; ++i)
    best = std::min(best, runPiped(argv, dir, input).seconds);
  return best;
}

// The peak resident memory of the program itself, read at its exit. (The
// usual rusage figure also counts the benchmark's own memory, which the
// child holds between fork and exec.)
long peakKiB(const std::vector<std::string>& argv, const std::string& dir, const Input& input,
             int expected = 0) {
  int in[2];
  if (pipe2(in, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
  const int sink = open("/dev/null", O_WRONLY | O_CLOEXEC);
  const pid_t child = startProgram(argv, dir, in[0], sink, true);
  close(in[0]);
  close(sink);
  int status = 0;
  waitpid(child, &status, 0);  // stopped at its exec
  ptrace(PTRACE_SETOPTIONS, child, nullptr, PTRACE_O_TRACEEXIT | PTRACE_O_EXITKILL);
  ptrace(PTRACE_CONT, child, nullptr, nullptr);
  const pid_t feeder = startFeeder(in[1], input, -1);
  long peak = -1;
  while (waitpid(child, &status, 0) == child && WIFSTOPPED(status)) {
    int pass = WSTOPSIG(status);
    if ((status >> 8) == (SIGTRAP | (PTRACE_EVENT_EXIT << 8))) {
      std::ifstream proc("/proc/" + std::to_string(child) + "/status");
      for (std::string line; std::getline(proc, line);) {
        if (line.rfind("VmHWM:", 0) == 0) peak = std::atol(line.c_str() + 6);
      }
      pass = 0;
    }
    ptrace(PTRACE_CONT, child, nullptr, reinterpret_cast<void*>(static_cast<long>(pass)));
  }
  waitpid(feeder, nullptr, 0);
  expectSuccess(status, argv[0], expected);
  return peak;
}

// Keystrokes of an area build of `rooms` rooms, each with a short name, three
// description lines, four exits, a two-word command and a random event.
std::string areaScript(int rooms) {
  std::string script = "1rooms.c\nrooms.dat\n1 " + std::to_string(rooms) + "\nyvosmer\n5\nn3\n";
  for (int r = 1; r <= rooms; ++r) {
    const std::string n = std::to_string(r);
    script += "3Room number " + n +
              "\n4The first line of the room.\nThe second line of it.\nAnd a third.\n.\n" + "28 " +
              std::to_string(r + 1) + "\n2 " + std::to_string(r - 1) + "\n6 " +
              std::to_string(r + 2) + "\n4 " + std::to_string(r - 2) + "\n5" +
              "82\npull\nlever\nThe lever moves.\n.\n" + "70.25\nA bird sings.\n" + "0";
  }
  return script + "0";
}

rb::WorkingRoom benchRoom(int number, bool maximal) {
  rb::WorkingRoom room;
  room.room = number;
  room.tempregionname = "vosmer";
  room.exitd.fill(-1);
  room.exitd[1] = number + 1;
  room.exitd[2] = number - 1;
  room.roomterrain = 3;
  room.roomdark = 1;
  room.shortname = maximal ? std::string(49, 'N') : "Room number " + std::to_string(number);
  room.lines = maximal ? 9 : 2;
  room.command = maximal ? 9 : 2;
  room.clines = maximal ? 9 : 0;
  for (std::size_t i = 0; i < 10; ++i) {
    room.ldesc[i] = maximal ? std::string(99, static_cast<char>('a' + i)) : "Description line.";
    room.cdesc[i] = maximal ? std::string(99, 'r') : "The lever moves.";
  }
  for (std::size_t k = 1; k <= 9; ++k)
    room.comm[k] = maximal ? std::string(19, 'w') : "word";
  room.t = 0.25f;
  room.randtext = maximal ? std::string(79, 'e') : "A bird sings.";
  return room;
}

void writeRoomFile(const std::string& path, int rooms, bool maximal) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  for (int r = 1; r <= rooms; ++r)
    file << rb::roomRecord(benchRoom(r, maximal));
}

// Each time is the best of this many runs.
constexpr int kRepeats = 5;

double mib(long kib) {
  return static_cast<double>(kib) / 1024.0;
}

// A world as the builder writes it: the room file and the data file of
// `rooms` rooms in a chain of two-way north-south exits.
void writeWorld(const std::string& dir, int rooms, bool oneWay = false) {
  std::ofstream roomFile(dir + "/world.c", std::ios::binary | std::ios::trunc);
  std::ofstream dataFile(dir + "/world.dat", std::ios::binary | std::ios::trunc);
  rb::AreaDefaults area;
  area.region = 5;
  std::string record, row;
  for (int r = 1; r <= rooms; ++r) {
    rb::WorkingRoom room = benchRoom(r, false);
    if (r == 1 || oneWay) room.exitd[2] = -1;
    if (r == rooms) room.exitd[1] = -1;
    record.clear();
    rb::appendRoomRecord(record, room);
    roomFile << record;
    row.clear();
    rb::appendDataRow(row, room, area);
    dataFile << row;
  }
}

struct Measured {
  double seconds;
  long peakKiB;
};

// Two folders for diff: old/ holds the world as it is, new/ the same with
// the short name of every hundredth room changed.
void writeChangedCopy(const std::string& dir, int rooms) {
  for (const char* side : {"old", "new"})
    std::filesystem::create_directories(dir + "/" + side);
  std::filesystem::copy_file(dir + "/world.c", dir + "/old/world.c",
                             std::filesystem::copy_options::overwrite_existing);
  std::filesystem::copy_file(dir + "/world.dat", dir + "/old/world.dat",
                             std::filesystem::copy_options::overwrite_existing);
  std::filesystem::copy_file(dir + "/world.dat", dir + "/new/world.dat",
                             std::filesystem::copy_options::overwrite_existing);
  std::ofstream roomFile(dir + "/new/world.c", std::ios::binary | std::ios::trunc);
  std::string record;
  for (int r = 1; r <= rooms; ++r) {
    rb::WorkingRoom room = benchRoom(r, false);
    if (r == 1) room.exitd[2] = -1;
    if (r == rooms) room.exitd[1] = -1;
    if (r % 100 == 0) room.shortname += " (changed)";
    record.clear();
    rb::appendRoomRecord(record, room);
    roomFile << record;
  }
}

// A world whose every room's north exit leads to room 1: a hub.
void writeHub(const std::string& dir, int rooms) {
  std::ofstream roomFile(dir + "/hub.c", std::ios::binary | std::ios::trunc);
  std::string record;
  for (int r = 1; r <= rooms; ++r) {
    rb::WorkingRoom room = benchRoom(r, false);
    room.exitd.fill(-1);
    if (r > 1) room.exitd[1] = 1;
    record.clear();
    rb::appendRoomRecord(record, room);
    roomFile << record;
  }
}

// What a command is set beside: wc -l or cat of the world's files, or
// also cat of them written twice over (what a copy of every room leaves).
enum class Floor { Wc, Cat, CatTwice, None };
// A whole-world command of the benchmark: its arguments after the program,
// what is piped in, the floor it is measured beside, and what must be done
// before each run (a command that changes the files gets them anew).
struct WorldCommand {
  std::string label;
  std::vector<std::string> args;
  std::string input;
  Floor floor;
  std::string note;
  std::function<void()> before;
  // Whether an earlier build is run on it too (not on what it did without
  // end, or cannot do), and its arguments for it when they differ (a
  // warning kind it does not have).
  bool compare = true;
  std::vector<std::string> otherArgs = {};
  int status = 0;  // its exit status (diff: 1, the worlds differ)
};

Measured measureCommand(const std::string& program, const WorldCommand& command,
                        const std::string& dir, bool other = false) {
  constexpr int kTimes = 3;
  std::vector<std::string> argv = {program};
  const std::vector<std::string>& args =
      other && !command.otherArgs.empty() ? command.otherArgs : command.args;
  argv.insert(argv.end(), args.begin(), args.end());
  Measured best{1e300, 0};
  for (int k = 0; k < kTimes; ++k) {
    if (command.before) command.before();
    best.seconds = std::min(
        best.seconds, runPiped(argv, dir, command.input, Mode::Timed, command.status).seconds);
  }
  if (command.before) command.before();
  best.peakKiB = peakKiB(argv, dir, command.input, command.status);
  return best;
}

// The whole-world commands on a world of `rooms` rooms, beside wc -l and cat
// on the same files; with `other` (an earlier build), each command is run
// by both, one after the other, on the same files.
void benchWorld(const std::string& program, const std::string& other, const std::string& dir,
                int rooms, const std::vector<std::string>& only) {
  writeWorld(dir, rooms);
  const double megabytes = static_cast<double>(std::filesystem::file_size(dir + "/world.c") +
                                               std::filesystem::file_size(dir + "/world.dat")) /
                           1e6;
  writeHub(dir, rooms);
  const std::string none;
  const double wc = bestSeconds(3, {"wc", "-l", "world.c", "world.dat"}, dir, none);
  const double cat =
      bestSeconds(3, {"sh", "-c", "cat world.c > copy.c && cat world.dat > copy.dat"}, dir, none);
  const double catTwice = bestSeconds(
      3, {"sh", "-c", "cat world.c world.c > copy.c && cat world.dat world.dat > copy.dat"}, dir,
      none);
  // Commands that change the world get it anew before each run.
  const auto fresh = [&](bool oneWay) {
    return [&dir, rooms, oneWay] {
      for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().filename().string().find(".~") != std::string::npos)
          std::filesystem::remove(entry.path());
      }
      writeWorld(dir, rooms, oneWay);
    };
  };
  const std::vector<WorldCommand> commands = {
      {"check", {"check", "world.c", "world.dat"}, "", Floor::Wc, "all kinds", {}},
      {"check",
       {"check", "-Wno-width", "-Wno-spacing", "-Wno-doubled", "-Wno-spelling", "-Wno-same-text",
        "world.c", "world.dat"},
       "",
       Floor::Wc,
       "no text kinds",
       {},
       true,
       {"check", "-Wno-width", "-Wno-spacing", "-Wno-doubled", "-Wno-spelling", "world.c",
        "world.dat"}},
      {"transfer", {}, "3world.c\nworld.dat\nnew.c\nnew.dat\n\nx0", Floor::Cat, "x at once", {}},
      {"map", {"map", "world.c"}, "", Floor::None, "", {}},
      {"map", {"map", "hub.c"}, "", Floor::None, "a hub: every room leads to one", {}, false},
      {"link", {"link", "world.c"}, "", Floor::Cat, "nothing to add", {}},
      {"link", {"link", "world.c"}, "", Floor::Cat, "every way back", fresh(true)},
      {"renumber",
       {"renumber", "1-" + std::to_string(rooms), std::to_string(2 * rooms + 1), "world.c",
        "world.dat"},
       "",
       Floor::Cat,
       "every room, every exit",
       fresh(false),
       false},
      {"delete",
       {"delete", std::to_string(rooms / 2) + "-" + std::to_string(rooms / 2 + 999), "world.c",
        "world.dat"},
       "",
       Floor::Cat,
       "1,000 rooms in the middle",
       fresh(false),
       false},
      {"copy",
       {"copy", "1-" + std::to_string(rooms), std::to_string(2 * rooms + 1), "world.c",
        "world.dat"},
       "",
       Floor::CatTwice,
       "every room; cat2: cat of the files it leaves, twice as large",
       fresh(false),
       false},
      {"renumber",
       {"renumber", std::to_string(rooms / 2) + "-" + std::to_string(rooms / 2 + 999),
        std::to_string(2 * rooms + 1), "world.c", "world.dat"},
       "",
       Floor::Cat,
       "1,000 rooms in the middle",
       fresh(false),
       false},
      {"copy",
       {"copy", std::to_string(rooms / 2) + "-" + std::to_string(rooms / 2 + 999),
        std::to_string(2 * rooms + 1), "world.c", "world.dat"},
       "",
       Floor::Cat,
       "1,000 rooms in the middle",
       fresh(false),
       false},
      {"edit",
       {"edit", "--room", "1", "world.c", "world.dat"},
       "5",
       Floor::None,
       "start at a room, leave: within 2x check without text kinds",
       {},
       false},
      {"edit",
       {"edit", "--room", "1", "world.c", "world.dat"},
       "8e3Renamed\n0zrw5",
       Floor::None,
       "start, move, edit, undo, redo, write, leave",
       fresh(false),
       false},
      {"export",
       {"export", "world.c", "world.dat"},
       "",
       Floor::Cat,
       "the world as JSON",
       {},
       false},
      {"import",
       {"import", "--into", "imported", "world.json"},
       "",
       Floor::Cat,
       "that JSON into new files",
       [&dir] { std::filesystem::remove_all(dir + "/imported"); },
       false},
      {"diff",
       {"diff", "old", "new"},
       "",
       Floor::Cat,
       "1% of rooms changed; cat of one world",
       {},
       false,
       {},
       1},
  };
  writeChangedCopy(dir, rooms);
  // The document import reads: the world exported.
  const std::string exportCommand = "cd '" + dir + "' && '" +
                                    std::filesystem::absolute(program).string() +
                                    "' export world.c world.dat > world.json";
  if (std::system(exportCommand.c_str()) != 0) throw std::runtime_error("export failed");
  const auto perRoom = [&](long kib) {
    return (static_cast<double>(kib) * 1024 - 8.0 * 1024 * 1024) / rooms;
  };
  std::printf("%9d rooms, %.0f MB: wc -l %.3f s, cat %.3f s, cat2 (each file twice) %.3f s\n",
              rooms, megabytes, wc, cat, catTwice);
  for (const WorldCommand& command : commands) {
    if (!only.empty() && std::find(only.begin(), only.end(), command.label) == only.end()) {
      continue;
    }
    const Measured now = measureCommand(program, command, dir);
    const double floor = command.floor == Floor::Wc ? wc : command.floor == Floor::None ? 0 : cat;
    const char* floorName = command.floor == Floor::Wc ? "wc -l" : "cat";
    char versus[48] = "";
    if (command.floor == Floor::CatTwice) {
      std::snprintf(versus, sizeof versus, "%6.1fx cat, %.1fx cat2", now.seconds / cat,
                    now.seconds / catTwice);
    } else if (floor > 0) {
      std::snprintf(versus, sizeof versus, "%6.1fx %-5s", now.seconds / floor, floorName);
    }
    std::printf("  %-9s %8.3f s %14s %8.1f MiB %6.0f B/room over 8 MiB  %s\n",
                command.label.c_str(), now.seconds, versus, mib(now.peakKiB), perRoom(now.peakKiB),
                command.note.c_str());
    if (!other.empty() && command.compare) {
      const Measured then = measureCommand(other, command, dir, true);
      std::printf("  %-9s %8.3f s %14s %8.1f MiB %6s  earlier build: time %.2fx, memory %.2fx\n",
                  "", then.seconds, "", mib(then.peakKiB), "", now.seconds / then.seconds,
                  static_cast<double>(now.peakKiB) / static_cast<double>(then.peakKiB));
    }
    if (command.before) fresh(false)();
  }
}

void benchBuildAndExplorer(const std::string& program, const std::string& dir, int rooms);

// check of one hand-written record that no builder writes: a description
// line of 20 MB and a response of 16,000 words each said twice, every one a
// note. The notes' lines are found once per record, so the time is linear.
void benchHostileRecord(const std::string& program, const std::string& dir) {
  rb::WorkingRoom room = benchRoom(1, false);
  room.exitd.fill(-1);
  room.lines = 0;
  room.ldesc[0] = std::string(20'000'000, 'a');
  room.command = 1;
  room.comm[1] = "say";
  room.clines = 0;
  room.cdesc[0].clear();
  for (int k = 0; k < 16000; ++k)
    room.cdesc[0] += "go go ";
  std::ofstream(dir + "/hostile.c", std::ios::binary | std::ios::trunc) << rb::roomRecord(room);
  const WorldCommand command{"check", {"check", "hostile.c"}, "", Floor::None, "", {}};
  const Measured measured = measureCommand(program, command, dir);
  std::printf(
      "\nA hand-written record of a 20 MB line and 16,000 doubled words: check %.3f s, "
      "%.1f MiB\n",
      measured.seconds, mib(measured.peakKiB));
}

}  // namespace

int main(int argc, char** argv) {
  // --compare=EARLIER: the world's commands also run by an earlier build.
  // --world-only: only the world's commands.
  // --keep: the bench's folder (its worlds) is left for a look.
  // --only=COMMAND,...: of the world's commands only these (all their rows).
  std::string other;
  bool worldOnly = false, keep = false;
  std::vector<std::string> only;
  std::vector<std::string> args;
  for (int k = 1; k < argc; ++k) {
    const std::string arg = argv[k];
    if (arg == "--world-only") {
      worldOnly = true;
    } else if (arg == "--keep") {
      keep = true;
    } else if (arg.rfind("--only=", 0) == 0) {
      worldOnly = true;
      std::stringstream list(arg.substr(7));
      for (std::string name; std::getline(list, name, ',');)
        only.push_back(name);
    } else if (arg.rfind("--compare=", 0) == 0) {
      other = std::filesystem::absolute(arg.substr(10)).string();
    } else {
      args.push_back(arg);
    }
  }
  if (args.empty()) {
    std::fprintf(stderr,
                 "usage: rb_bench ROOMBUILDER [ROOMS [WORLD_ROOMS]] [--compare=EARLIER] "
                 "[--world-only] [--only=COMMAND,...] [--keep]\n");
    return 2;
  }
  signal(SIGPIPE, SIG_IGN);
  const std::string program = std::filesystem::absolute(args[0]).string();
  const int rooms = args.size() > 1 ? std::atoi(args[1].c_str()) : 100000;
  const std::string dir = std::filesystem::temp_directory_path() / "rb_bench";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);

  if (!worldOnly) benchBuildAndExplorer(program, dir, rooms);
  const int worldRooms = args.size() > 2 ? std::atoi(args[2].c_str()) : 1000000;
  std::printf(
      "\nA world as the builder writes it: its commands (best of 3; the transfer: x at the "
      "first room, input piped)\n");
  benchWorld(program, other, dir, worldRooms / 10, only);
  benchWorld(program, other, dir, worldRooms, only);
  if (only.empty()) benchHostileRecord(program, dir);
  if (keep) {
    std::printf("\nThe worlds are left in %s\n", dir.c_str());
  } else {
    std::filesystem::remove_all(dir);
  }
  return 0;
}

namespace {

void benchBuildAndExplorer(const std::string& program, const std::string& dir, int rooms) {
  std::printf("Scripted area build, input piped in, output to /dev/null (best of 5)\n");
  std::printf("%9s %12s %10s %12s %10s %9s %12s %9s\n", "rooms", "input MB", "output MB", "seconds",
              "rooms/s", "peak MiB", "cat seconds", "vs cat");
  for (int n : {1000, rooms}) {
    const std::string script = areaScript(n);
    const std::size_t outBytes = runPiped({program}, dir, script, Mode::CountOutput).outBytes;
    const double seconds = bestSeconds(kRepeats, {program}, dir, script);
    const long peak = peakKiB({program}, dir, script);
    // cat moving the same volume: the input and the output bytes, piped
    // through it to /dev/null.
    const std::string block(1 << 16, 'x');
    const double catSeconds =
        bestSeconds(kRepeats, {"cat"}, dir, {block, script.size() + outBytes});
    std::printf("%9d %12.1f %10.1f %12.3f %10.0f %9.2f %12.3f %8.2fx\n", n,
                static_cast<double>(script.size()) / 1e6, static_cast<double>(outBytes) / 1e6,
                seconds, n / seconds, mib(peak), catSeconds, seconds / catSeconds);
  }

  std::printf("\nExplorer loading a room file (to the start-room prompt and back; best of 5)\n");
  std::printf("%-34s %10s %12s %9s\n", "file", "MB", "seconds", "peak MiB");
  const struct {
    const char* label;
    int rooms;
    bool maximal;
  } files[] = {{"100,000 records", rooms, false}, {"200 records with maximal lines", 200, true}};
  for (const auto& file : files) {
    const std::string path = dir + "/explore.c";
    writeRoomFile(path, file.rooms, file.maximal);
    const std::string keys = "4explore.c\n1\nq\n0";
    std::printf("%-34s %10.1f %12.3f %9.2f\n", file.label,
                static_cast<double>(std::filesystem::file_size(path)) / 1e6,
                bestSeconds(kRepeats, {program}, dir, keys), mib(peakKiB({program}, dir, keys)));
  }
}

}  // namespace
