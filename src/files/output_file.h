// A file the program writes: a room file or a data file, new or appended to.
//
// - Locked against other runs of the program (flock, exclusive, not
//   waiting) from opening to closing, so two runs never write one file.
// - A file opened fresh that holds something first has its old contents
//   kept in a new numbered backup (numbered_backup.h), so no area is lost to
//   a wrong key; only then is it emptied.
// - A file appended to that does not end with a line break gets one before
//   the first text written to it, so what is added starts on a line of its
//   own.
// - Opening never waits: a FIFO without a reader, or a socket, does not
//   open.
// - Writes can be taken back (cut back to an earlier length), so a save
//   that fails part way leaves no torn record.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

#include "files/input_file.h"

namespace rb {

// New (emptied), appended to, or new under another name until it is whole
// (Replace: written as NAME.partial-XXXXXX beside the name and put in its
// place by close(); the old file, if any, stays as it was until then).
enum class OpenMode { Create, Append, Replace };

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  enum class Status { Opened, InUse, Failed };
  struct Outcome {
    Status status = Status::Failed;
    int error = 0;           // errno of a failure
    std::string failedName;  // the file that failed: NAME, or the backup's name
    std::string backup;      // where the old contents were kept, if anywhere
  };

  // Opens `name` write-only (created when missing) and locks it. In Create
  // and Replace mode a regular file that holds something has its old
  // contents kept in a numbered backup before it is emptied or replaced;
  // when the backup fails, or the file may not be read (so that its
  // contents cannot be kept), the file is left as it was and the open
  // fails. A file another run holds is left untouched.
  Outcome open(const std::string& name, OpenMode mode);

  bool isOpen() const { return fd_ >= 0; }
  const std::string& name() const { return name_; }
  // Whether `name` leads to this file.
  bool isNamed(const std::string& name) const;
  // The length written so far (the file's length while this run holds it).
  off_t length() const { return length_; }

  // The file opened again for reading, when it is a regular file that this
  // run may read: a descriptor the caller closes, or -1.
  int openForReading() const;

  // Writes all of `text`; false (errno set) when not all of it could be.
  bool write(std::string_view text);
  // Cuts the file back to `length`, taking back what was written after it.
  void cutBack(off_t length);
  // Puts what was written on the disk; false (errno set) when that fails.
  bool sync();
  // Closes (and unlocks) the file, and in Replace mode puts it in place of
  // its name; false (errno set) when that fails.
  bool close();
  // The name of the file being written in Replace mode (NAME.partial-...).
  const std::string& partialName() const { return partial_; }

 private:
  Outcome openReplacement(const std::string& name);

  int fd_ = -1;
  std::string name_;
  std::string partial_;     // Replace: the file being written, until close()
  std::string targetPath_;  // Replace: the name's folder made absolute, and the name
  int targetLock_ = -1;     // Replace: the old file, locked against other runs
  off_t length_ = 0;
  off_t openedLength_ = 0;
  bool openedMidLine_ = false;  // appended to, its last byte not a line break
  bool midLine_ = false;        // a line break is still owed before the next text
};

}  // namespace rb
