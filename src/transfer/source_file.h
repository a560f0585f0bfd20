// A file read whole: the files a transfer reads, and those the check and
// map commands look at.
#pragma once

#include <string>

#include "files/output_file.h"

namespace rb {

struct SourceFile {
  std::string text;
  FileId id;
  int error = 0;  // errno when the file could not be read
};

enum class ReadStatus { Read, Unreadable, InUse, TooLarge };

// Reads the whole of the file `name` into `file`. A directory cannot be
// read. With `refuseWhileWritten`, a file that another run of the program
// holds for writing is in use and is not read. A file that does not fit in
// memory (or never ends, as /dev/zero) is too large.
ReadStatus readSourceFile(const std::string& name, SourceFile& file,
                          bool refuseWhileWritten = true);

}  // namespace rb
