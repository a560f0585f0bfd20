#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/write_all.h"
#include "cli/commands.h"
#include "files/numbered_backup.h"
#include "tools/link/linked_files.h"
#include "tools/link/return_exits.h"
#include "world/world.h"

namespace rb {

namespace {

// The files named, open and locked for the whole run: exclusively when
// they may be written, shared for a dry run.
class Locks {
 public:
  ~Locks() {
    for (const int fd : fds_)
      ::close(fd);
  }
  // "" when locked; otherwise why not.
  std::string lock(const std::string& name, bool write) {
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::strerror(errno);
    fds_.push_back(fd);
    if (flock(fd, (write ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
      return errno == EWOULDBLOCK ? "in use by another run of the program" : std::strerror(errno);
    }
    return "";
  }

 private:
  std::vector<int> fds_;
};

}  // namespace

int linkCommand(const std::vector<std::string>& args, CommandIo& io) {
  bool dryRun = false;
  Baseline baseline;
  bool withBaseline = false;
  std::vector<std::string> files;
  bool optionsEnded = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || !isOption(arg)) {
      files.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "-n" || arg == "--dry-run") {
      dryRun = true;
    } else if (const auto file = optionValue(args, i, "--baseline")) {
      std::string text;
      if (const auto failed = io.readOptionFile("link", "--baseline", *file, text)) return *failed;
      baseline.read(text);
      withBaseline = true;
    } else {
      return io.usage("link: unknown option " + arg);
    }
  }
  if (files.empty()) return io.usage("link: no file named");
  Locks locks;
  for (const std::string& file : files) {
    if (const std::string failure = locks.lock(file, !dryRun); !failure.empty()) {
      return io.fileFailed(file, failure);
    }
  }
  World world;
  try {
    world.read(files, {}, World::Keep::RoomsAndLinksLines);
  } catch (const WorldFileError& error) {
    return io.fileFailed(error.file, error.reason);
  }
  const LinkPlan plan = planReturnExits(world, withBaseline ? &baseline : nullptr);
  if (!dryRun && !plan.added.empty()) {
    const LinkedFiles linked = writeReturnExits(world, plan);
    for (const auto& [file, backup] : linked.backups)
      io.tell(backupNotice(file, backup));
    if (linked.failure) return io.fileFailed(linked.failure->first, linked.failure->second);
  }
  reportLinks(world, plan, io.out);
  return io.finish(0);
}

}  // namespace rb
