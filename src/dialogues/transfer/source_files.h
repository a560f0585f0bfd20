// A file a transfer reads (the room file or the data file it transfers
// from): open for as long as the transfer runs, locked shared so that no run
// of the program writes it meanwhile, and read from its start as often as
// the transfer needs (once to survey it, once to copy it).
#pragma once

#include <string>

#include "files/output_file.h"

namespace rb {

class SourceFile {
 public:
  SourceFile() = default;
  ~SourceFile();
  SourceFile(const SourceFile&) = delete;
  SourceFile& operator=(const SourceFile&) = delete;

  enum class Status { Open, Unreadable, InUse };
  // Opens `name` (not waiting for a FIFO's writer). A directory, or a file
  // that cannot be read again from its start (a pipe), is unreadable; one
  // that another run holds for writing is in use.
  Status open(const std::string& name);

  int fd() const { return fd_; }
  const std::string& name() const { return name_; }
  const FileId& id() const { return id_; }
  // Back to the start, for another pass; false when that fails.
  bool rewind();

 private:
  int fd_ = -1;
  std::string name_;
  FileId id_;
};

}  // namespace rb
