// Every file the program reads goes through here: an area's room file or
// data file, a baseline, a word list.
//
// - Opening never waits: a FIFO without a writer opens (and reads as
//   empty) instead of hanging; a directory does not open.
// - A lock, shared or exclusive, is taken without waiting; a file another
//   run of the program holds against it is "in use".
// - What the file is, and how it was when opened (identity, size,
//   modification time), is kept, so that a later look can tell whether it
//   changed.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <ctime>
#include <optional>
#include <string>

namespace rb {

// A file as the system knows it, whatever name leads to it.
struct FileId {
  dev_t device = 0;
  ino_t inode = 0;
  bool operator==(const FileId&) const = default;
};

// The file `name` leads to (symbolic links followed), or nothing when there
// is none.
std::optional<FileId> fileIdOf(const std::string& name);

// What a file was like when it was looked at: enough to tell that it has
// been changed since.
struct FileState {
  FileId id;
  off_t size = 0;
  timespec modified{};
  bool regular = false;

  static FileState of(const struct stat& info);
  bool sameAs(const FileState& other) const;
};

// "File in use by another run of the program", as the commands say it.
inline constexpr const char* kInUseReason = "in use by another run of the program";

class InputFile {
 public:
  enum class Lock { None, Shared, Exclusive };
  enum class Status { Open, Unreadable, InUse };

  InputFile() = default;
  ~InputFile();
  InputFile(InputFile&& other) noexcept;
  InputFile& operator=(InputFile&& other) noexcept;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Opens `name` for reading, locked as asked. Unreadable: it does not
  // exist, may not be read, or is a directory (reason() says which).
  Status open(const std::string& name, Lock lock = Lock::None);
  void close();

  bool isOpen() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  const std::string& name() const { return name_; }
  // Why the last open failed, as strerror says it (or kInUseReason), and
  // its errno.
  const std::string& reason() const { return reason_; }
  int error() const { return error_; }
  const FileState& state() const { return state_; }
  const FileId& id() const { return state_.id; }
  bool regular() const { return state_.regular; }

  // How many input files are open in this process now, and whether one
  // more may be held open for a whole run: a world of thousands of files
  // holds what the descriptor limit allows and leaves room for the files
  // a run writes.
  static std::size_t openCount();
  static bool mayHoldAnother();

  // Back to the start, for another pass; false when that cannot be (a pipe).
  bool rewind();
  // The file as it is now (fstat), or nothing when that fails.
  std::optional<FileState> stateNow() const;
  // Reads `length` bytes at `offset` into `out` (replacing what it held);
  // false (errno set) when the file cannot give them all.
  bool readAt(off_t offset, std::size_t length, std::string& out) const;

 private:
  int fd_ = -1;
  std::string name_;
  std::string reason_;
  int error_ = 0;
  FileState state_;
};

}  // namespace rb
