#include "files/replacement_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "base/background_job.h"
#include "base/write_all.h"
#include "files/numbered_backup.h"
#include "files/temporary_name.h"

namespace rb {

namespace {

constexpr const char* kNotRegular = "not a regular file; only regular files are rewritten";

// Copies all of `from` (read from its start) over `to` (written from its
// start and cut to that length), synced.
bool copyOver(int from, int to) {
  char buffer[64 * 1024];
  off_t length = 0;
  for (;;) {
    const ssize_t got = pread(from, buffer, sizeof buffer, length);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;
    if (!writeAllAt(to, std::string_view(buffer, static_cast<std::size_t>(got)), length)) {
      return false;
    }
    length += got;
  }
  return ftruncate(to, length) == 0 && fsync(to) == 0;
}

// Copies the file `from` over the file `to`, both named.
bool copyFileOver(const std::string& from, const std::string& to) {
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  const int out = ::open(to.c_str(), O_WRONLY | O_CLOEXEC);
  bool ok = out >= 0 && copyOver(in, out);
  const int error = errno;
  ::close(in);
  if (out >= 0) ok = ::close(out) == 0 && ok;
  if (!ok) errno = error;
  return ok;
}

// Gives `from` the name `to` only while that name is free.
int placeNew(const char* from, const char* to) {
  if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return -1;
  if (link(from, to) != 0) return -1;
  unlink(from);
  return 0;
}

}  // namespace

bool followLinks(const std::string& name, std::string& target) {
  target = name;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info {};
    if (lstat(target.c_str(), &info) != 0) return false;
    if (!S_ISLNK(info.st_mode)) return true;
    char buffer[PATH_MAX];
    const ssize_t length = readlink(target.c_str(), buffer, sizeof buffer - 1);
    if (length < 0) return false;
    const std::string link(buffer, static_cast<std::size_t>(length));
    const std::size_t slash = target.rfind('/');
    target = link.front() == '/' || slash == std::string::npos ? link
                                                               : target.substr(0, slash + 1) + link;
  }
  errno = ELOOP;
  return false;
}

ReplacementFile::ReplacementFile() = default;

ReplacementFile::~ReplacementFile() {
  abandon();
}

ReplacementFile::ReplacementFile(ReplacementFile&& other) noexcept {
  *this = std::move(other);
}

ReplacementFile& ReplacementFile::operator=(ReplacementFile&& other) noexcept {
  if (this != &other) {
    abandon();
    name_ = std::move(other.name_);
    target_ = std::move(other.target_);
    temporary_ = std::exchange(other.temporary_, std::string());
    reason_ = std::move(other.reason_);
    fd_ = std::exchange(other.fd_, -1);
    background_ = std::move(other.background_);
    beside_ = std::move(other.beside_);
    new_ = other.new_;
    inPlace_ = other.inPlace_;
    mode_ = other.mode_;
  }
  return *this;
}

bool ReplacementFile::fail(int error) {
  reason_ = std::strerror(error);
  abandon();
  errno = error;
  return false;
}

bool ReplacementFile::start(const std::string& name) {
  name_ = target_ = name;
  new_ = false;
  // The file a symbolic link names is replaced; the link stays as it is.
  if (!followLinks(name, target_)) return fail(errno);
  struct stat info {};
  if (stat(target_.c_str(), &info) != 0) return fail(errno);
  if (!S_ISREG(info.st_mode)) {
    reason_ = kNotRegular;
    return false;
  }
  // A file the user may not write is refused as the builder refuses it: by
  // the open for writing that would fail.
  const int writable = ::open(target_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (writable < 0) return fail(errno);
  ::close(writable);
  inPlace_ = info.st_nlink > 1;
  mode_ = info.st_mode & 07777;
  temporary_ = temporaryPattern(target_);
  fd_ = mkostemp(temporary_.data(), O_CLOEXEC);
  if (fd_ < 0) {
    temporary_.clear();
    return fail(errno);
  }
  if (fchmod(fd_, mode_) != 0) return fail(errno);
  // Owned as the old file was, where this run may give it away (as root).
  if (fchown(fd_, info.st_uid, info.st_gid) != 0) {
    // Not root: the new file is the user's, as a file saved by an editor is.
  }
  return true;
}

bool ReplacementFile::startNew(const std::string& name, mode_t mode) {
  name_ = target_ = name;
  new_ = true;
  inPlace_ = false;
  mode_ = mode;
  temporary_ = temporaryPattern(target_);
  fd_ = mkostemp(temporary_.data(), O_CLOEXEC);
  if (fd_ < 0) {
    temporary_.clear();
    return fail(errno);
  }
  // As a file created with `mode` under the user's umask.
  const mode_t mask = umask(0);
  umask(mask);
  if (fchmod(fd_, mode & ~mask & 07777) != 0) return fail(errno);
  return true;
}

bool ReplacementFile::write(std::string_view text) {
  // A large file is written block by block on a thread of its own; the few
  // bytes of most files at once.
  if (!background_ && text.size() < kBackgroundBlock) return writeAll(fd_, text) || fail(errno);
  if (!background_) background_ = std::make_unique<BackgroundWriter>(fd_);
  return background_->write(text) || fail(errno);
}

bool ReplacementFile::writeTaking(std::string& text) {
  if (!background_ && text.size() < kBackgroundBlock) {
    const bool ok = write(text);
    text.clear();
    return ok;
  }
  if (!background_) background_ = std::make_unique<BackgroundWriter>(fd_);
  return background_->writeTaking(text) || fail(errno);
}

namespace {

// Where the system cannot copy file to file, a stretch goes through a
// buffer of this size.
constexpr off_t kCopyBlock = 1 << 20;

// The `length` bytes of `from` at `offset` copied into `to` at `at`, file
// to file within the system where it can; what went wrong, if anything.
ReplacementFile::CopyOutcome copyRange(int from, off_t offset, int to, off_t at, off_t length) {
  using Outcome = ReplacementFile::CopyOutcome;
  off_t left = length;
  bool kernel = true;  // copy_file_range until the system says it cannot
  std::vector<char> buffer;
  while (left > 0) {
    ssize_t n = -1;
#ifdef __linux__
    if (kernel) {
      n = copy_file_range(from, &offset, to, &at, static_cast<std::size_t>(left), 0);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
        kernel = false;
        continue;
      }
      if (n < 0) return {Outcome::WriteFailed, errno};
    }
#else
    kernel = false;
#endif
    if (!kernel) {
      buffer.resize(static_cast<std::size_t>(kCopyBlock));
      n = pread(from, buffer.data(), static_cast<std::size_t>(std::min(left, kCopyBlock)), offset);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return {Outcome::ReadFailed, errno};
      if (n > 0 &&
          !writeAllAt(to, std::string_view(buffer.data(), static_cast<std::size_t>(n)), at)) {
        return {Outcome::WriteFailed, errno};
      }
      offset += n;
      at += n;
    }
    if (n == 0) return {Outcome::SourceEnded, EIO};
    left -= n;
  }
  return {};
}

}  // namespace

struct ReplacementFile::CopyBeside {
  CopyOutcome outcome;
  BackgroundJob job;  // last: ends (waiting for the copy) first
};

bool ReplacementFile::copyFrom(int from, off_t offset, off_t length) {
  if (background_ && !background_->wait()) return fail(errno);
  if (!copiesDone()) return false;
  // The stretch has its place now; what is written next goes after it.
  const off_t at = lseek(fd_, 0, SEEK_CUR);
  if (at < 0 || lseek(fd_, at + length, SEEK_SET) < 0) return fail(errno);
  if (length < kCopyBeside) {
    const CopyOutcome outcome = copyRange(from, offset, fd_, at, length);
    if (outcome.state == CopyOutcome::Done) startWriteback(fd_, at, length);
    return told(outcome);
  }
  beside_ = std::make_unique<CopyBeside>();
  beside_->job.start([copy = beside_.get(), from, offset, to = fd_, at, length] {
    copy->outcome = copyRange(from, offset, to, at, length);
    if (copy->outcome.state == CopyOutcome::Done) startWriteback(to, at, length);
  });
  return true;
}

bool ReplacementFile::copiesDone() {
  if (!beside_) return true;
  beside_->job.wait();
  const CopyOutcome outcome = beside_->outcome;
  beside_.reset();
  return told(outcome);
}

bool ReplacementFile::told(CopyOutcome outcome) {
  switch (outcome.state) {
    case CopyOutcome::Done:
      return true;
    case CopyOutcome::SourceEnded:
    case CopyOutcome::ReadFailed:
      errno = outcome.error;  // a read of `from`: reason not set
      return false;
    case CopyOutcome::WriteFailed:
      break;
  }
  return fail(outcome.error);
}

bool ReplacementFile::finishWriting() {
  if (background_) {
    const bool written = background_->wait();
    background_.reset();
    if (!written) return fail(errno);
  }
  if (!copiesDone()) return reason_.empty() ? fail(errno) : false;
  const bool synced = fsync(fd_) == 0;
  const int error = errno;
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  if (!synced) return fail(error);
  return closed || fail(errno);
}

void ReplacementFile::abandon() {
  beside_.reset();  // both done with the file before it is closed
  background_.reset();
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
}

// The steps of commitReplacements, with what each file has come to.
struct ReplacementCommit {
  std::vector<ReplacementFile>& files;
  PlaceFile place;
  BeforePlacing before;
  ReplacementOutcome outcome;

  // Keeps the old contents of file `k`; false (errno set) when that fails.
  bool keepOld(std::size_t k) {
    ReplacementFile& file = files[k];
    BackupOutcome kept;
    if (file.inPlace_) {
      // A copy: the file's own inode is about to be written over.
      const int fd = ::open(file.target_.c_str(), O_RDONLY | O_CLOEXEC);
      if (fd < 0) return false;
      kept = keepNumberedBackup(fd, file.target_, file.mode_);
      ::close(fd);
    } else {
      kept = keepAsNumberedBackup(file.target_, false);
    }
    if (!kept.kept) {
      errno = kept.error;
      return false;
    }
    outcome.files[k].backup = kept.name;
    return true;
  }

  bool putInPlace(std::size_t k) {
    ReplacementFile& file = files[k];
    if (file.new_) {
      if (placeNew(file.temporary_.c_str(), file.target_.c_str()) != 0) return false;
    } else if (file.inPlace_) {
      if (!copyFileOver(file.temporary_, file.target_)) {
        const int error = errno;
        // Part of the new contents may be in the file: the old ones back.
        copyFileOver(outcome.files[k].backup, file.target_);
        errno = error;
        return false;
      }
      unlink(file.temporary_.c_str());
    } else if (place(file.temporary_.c_str(), file.target_.c_str()) != 0) {
      return false;
    }
    file.temporary_.clear();
    return true;
  }

  // Puts file `k`, already in place, back as it was.
  void putBack(std::size_t k) {
    ReplacementFile& file = files[k];
    ReplacedFile& state = outcome.files[k];
    bool back = false;
    if (file.new_) {
      back = unlink(file.target_.c_str()) == 0;
    } else if (file.inPlace_) {
      back = copyFileOver(state.backup, file.target_);
      if (back) unlink(state.backup.c_str());
    } else {
      // The backup is the old file under another name: it goes back.
      back = ::rename(state.backup.c_str(), file.target_.c_str()) == 0;
    }
    if (back) {
      state.state = ReplacedFile::State::PutBack;
      state.backup.clear();
    } else {
      state.state = ReplacedFile::State::NotPutBack;
      state.reason = std::strerror(errno);
    }
  }

  void forgetBackup(std::size_t k) {
    ReplacedFile& state = outcome.files[k];
    if (!state.backup.empty()) unlink(state.backup.c_str());
    state.backup.clear();
  }

  void failed(std::size_t k, int error) {
    outcome.failedName = files[k].name_;
    outcome.reason = std::strerror(error);
  }

  ReplacementOutcome run() {
    std::vector<std::string> targets;
    for (const ReplacementFile& file : files)
      targets.push_back(file.target_);
    outcome.files.resize(files.size());
    for (std::size_t k = 0; k < files.size(); ++k)
      outcome.files[k].name = files[k].name_;
    for (std::size_t k = 0; k < files.size(); ++k) {
      if (files[k].new_ || keepOld(k)) continue;
      failed(k, errno);
      for (std::size_t j = 0; j < k; ++j)
        forgetBackup(j);
      for (ReplacementFile& file : files)
        file.abandon();
      return outcome;
    }
    syncFoldersOf(targets);  // the backups last before any file is replaced
    if (before) {
      std::vector<Placement> placements;
      for (const ReplacementFile& file : files) {
        const Placement::How how = file.new_       ? Placement::How::New
                                   : file.inPlace_ ? Placement::How::Copy
                                                   : Placement::How::Rename;
        placements.push_back({how, file.temporary_, file.target_});
      }
      if (!before(placements)) {
        const int error = errno;
        failed(0, error);
        for (std::size_t k = 0; k < files.size(); ++k) {
          forgetBackup(k);
          files[k].abandon();
        }
        return outcome;
      }
    }
    for (std::size_t k = 0; k < files.size(); ++k) {
      if (putInPlace(k)) {
        outcome.files[k].state = ReplacedFile::State::Replaced;
        continue;
      }
      failed(k, errno);
      for (std::size_t j = 0; j < k; ++j)
        putBack(j);
      for (std::size_t j = k; j < files.size(); ++j) {
        forgetBackup(j);
        files[j].abandon();
      }
      return outcome;
    }
    syncFoldersOf(targets);
    outcome.done = true;
    return outcome;
  }
};

ReplacementOutcome commitReplacements(std::vector<ReplacementFile>& files, const PlaceFile& place,
                                      const BeforePlacing& before) {
  ReplacementCommit commit{files, place ? place : PlaceFile(::rename), before, {}};
  return commit.run();
}

bool finishPlacements(const std::vector<Placement>& placements) {
  std::vector<std::string> targets;
  for (const Placement& placement : placements) {
    targets.push_back(placement.target);
    struct stat info {};
    if (lstat(placement.temporary.c_str(), &info) != 0) continue;  // placed already
    switch (placement.how) {
      case Placement::How::Rename:
        if (::rename(placement.temporary.c_str(), placement.target.c_str()) != 0) return false;
        break;
      case Placement::How::Copy:
        if (!copyFileOver(placement.temporary, placement.target)) return false;
        unlink(placement.temporary.c_str());
        break;
      case Placement::How::New:
        if (placeNew(placement.temporary.c_str(), placement.target.c_str()) != 0) return false;
        break;
    }
  }
  syncFoldersOf(targets);
  return true;
}

}  // namespace rb
