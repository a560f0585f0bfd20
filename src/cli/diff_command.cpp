// roombuilder diff: what changed between two worlds, room by room.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "cli/command.h"
#include "files/temporary_name.h"
#include "tools/diff/world_diff.h"

namespace rb {

namespace {

enum Option { kBrief, kStat };

// The files of a side: the file itself, or every regular file of the
// folder (not its folders; backups and temporary files left out), in
// order of name.
std::vector<std::string> filesOf(const std::string& path, bool& folder, std::string& error) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) {
    error = std::strerror(errno);
    return {};
  }
  folder = S_ISDIR(info.st_mode);
  if (!folder) return {path};
  std::vector<std::string> names;
  DIR* dir = opendir(path.c_str());
  if (!dir) {
    error = std::strerror(errno);
    return {};
  }
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == ".." || name.back() == '~' || isTemporaryName(name) ||
        isPartialName(name)) {
      continue;
    }
    struct stat file {};
    if (stat((path + "/" + name).c_str(), &file) == 0 && S_ISREG(file.st_mode)) {
      names.push_back(name);
    }
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

// Reads a side: its world, each file's key and shown name.
std::optional<int> readSide(const std::string& path, bool otherIsFolder, DiffSide& side,
                            CommandIo& io) {
  bool folder = false;
  std::string error;
  const std::vector<std::string> names = filesOf(path, folder, error);
  if (!error.empty()) return io.fileFailed(path, error);
  std::vector<std::string> paths;
  for (const std::string& name : names)
    paths.push_back(folder ? path + "/" + name : name);
  WorldReading reading;
  reading.hashes = true;
  reading.exits = false;
  reading.hold = InputFile::Lock::Shared;
  if (const auto failed = io.readWorld(side.world, paths, reading, true)) return *failed;
  for (const WorldFile& file : side.world.files()) {
    const std::string inFolder = folder ? file.name.substr(path.size() + 1) : file.name;
    side.shown.push_back(inFolder);
    // Two single files are one file, whatever their names.
    side.keys.push_back(folder ? inFolder : otherIsFolder ? baseNameOf(file.name) : "");
  }
  return std::nullopt;
}

bool isFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int diff(const ParsedArguments& args, CommandIo& io) {
  DiffForm form = DiffForm::Full;
  for (const ParsedOption& option : args.options)
    form = option.which == kBrief ? DiffForm::Brief : DiffForm::Stat;
  if (args.operands.size() != 2) {
    return io.usage(args.operands.size() < 2 ? "diff: two worlds to compare, OLD and NEW"
                                             : "diff: more than two worlds named");
  }
  const std::string& oldPath = args.operands[0];
  const std::string& newPath = args.operands[1];
  DiffSide before, after;
  if (const auto failed = readSide(oldPath, isFolder(newPath), before, io)) return *failed;
  if (const auto failed = readSide(newPath, isFolder(oldPath), after, io)) return *failed;
  bool differ = false;
  try {
    differ = diffWorlds(before, after, form, io.out);
  } catch (const WorldFileError& error) {
    return io.fileFailed(error.file, error.reason);
  }
  return io.finish(differ ? 1 : 0);
}

}  // namespace

const Command kDiffCommand = {
    "diff",
    "[OPTION]... OLD NEW",
    "  diff   compares two worlds room by room. OLD and NEW are each a room file\n"
    "         or data file, or a folder of them. Rooms are matched by number, so\n"
    "         a room moved to another file is \"moved\". A block for each room\n"
    "         that differs (changed, added, removed, moved, renumbered), with a\n"
    "         line for each field that differs; then the summary.\n"
    "         -q, --brief      the first line of each block only\n"
    "         --stat           a line per file: rooms changed, added, removed\n"
    "         Exit status 0 when equal, 1 when they differ, 2 on trouble.\n",
    {{"brief", 'q', false, nullptr}, {"stat", 0, false, nullptr}},
    diff,
};

}  // namespace rb
