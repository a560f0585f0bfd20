// A file read whole at the start of a transfer.
#pragma once

#include <string>

#include "files/output_file.h"

namespace rb {

struct SourceFile {
  std::string text;
  FileId id;
};

enum class ReadStatus { Read, Unreadable, InUse };

// Reads the whole of the file `name` into `file`. A directory counts as
// unreadable; a file that another run is writing is in use.
ReadStatus readSourceFile(const std::string& name, SourceFile& file);

}  // namespace rb
