#include "files/numbered_backup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "base/write_all.h"
#include "files/temporary_name.h"

namespace rb {

namespace {

// Far more backups than anyone keeps; a bound so a folder full of them
// cannot keep the search going for ever.
constexpr int kMaxBackups = 1000000;

std::string backupName(const std::string& name, int number) {
  return name + ".~" + std::to_string(number) + "~";
}

// Gives the file `from` the name `to` if, and only if, that name is free.
// The temporary name goes away either way once this succeeds.
bool placeWithoutReplacing(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without the flag: a hard link is never made over a name.
  if (link(from.c_str(), to.c_str()) != 0) return false;
  unlink(from.c_str());
  return true;
}

bool copyAll(int from, int to) {
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t got = ::read(from, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    if (!writeAll(to, std::string_view(buffer, static_cast<std::size_t>(got)))) return false;
  }
}

// The smallest number whose backup name is free now.
int firstFreeNumber(const std::string& name) {
  int first = 1;
  struct stat ignored {};
  while (first < kMaxBackups && lstat(backupName(name, first).c_str(), &ignored) == 0)
    ++first;
  return first;
}

}  // namespace

BackupOutcome keepNumberedBackup(int from, const std::string& name, mode_t mode) {
  BackupOutcome outcome;
  const int first = firstFreeNumber(name);
  outcome.name = backupName(name, first);

  std::string temporary = temporaryPattern(name);
  const int out = mkostemp(temporary.data(), O_CLOEXEC);
  if (out < 0) {
    outcome.error = errno;
    return outcome;
  }
  bool ok = fchmod(out, mode & 07777) == 0 && copyAll(from, out) && fsync(out) == 0;
  int error = errno;
  if (::close(out) != 0 && ok) {
    ok = false;
    error = errno;
  }
  // The first free number from the one found above: another run may take a
  // name in between, and then the next one is tried.
  if (ok) error = EEXIST;
  for (int number = first; ok && number < kMaxBackups; ++number) {
    if (placeWithoutReplacing(temporary, backupName(name, number))) {
      outcome.kept = true;
      outcome.name = backupName(name, number);
      syncFolderOf(name);
      return outcome;
    }
    if (errno != EEXIST) {
      error = errno;
      break;
    }
  }
  unlink(temporary.c_str());
  outcome.error = error;
  return outcome;
}

BackupOutcome keepAsNumberedBackup(const std::string& name, bool syncFolder) {
  BackupOutcome outcome;
  for (int number = firstFreeNumber(name); number < kMaxBackups; ++number) {
    outcome.name = backupName(name, number);
    if (link(name.c_str(), outcome.name.c_str()) == 0) {
      outcome.kept = true;
      if (syncFolder) syncFolderOf(name);
      return outcome;
    }
    if (errno != EEXIST) break;
  }
  if (errno == EEXIST) {
    outcome.error = EEXIST;
    return outcome;
  }
  // No hard links here: a copy.
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat info {};
  if (fd < 0 || fstat(fd, &info) != 0) {
    outcome.error = errno;
    if (fd >= 0) ::close(fd);
    return outcome;
  }
  outcome = keepNumberedBackup(fd, name, info.st_mode);
  ::close(fd);
  return outcome;
}

std::string backupNotice(const std::string& name, const std::string& backup) {
  return "The old contents of " + name + " are kept in " + backup + ".\n";
}

}  // namespace rb
