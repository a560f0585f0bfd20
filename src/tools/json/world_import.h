// `roombuilder import`: the files a world document (world_export.h) names,
// written back. The document is read once, as a stream, so that a world of
// any size takes little memory, and checked whole (every error found, at
// its line and column) as it is written beside the files it names: rooms
// through the room writer, rows through the row writer, text as it stands,
// in the line ends of their file. Only when it has no error are the files
// put in place; otherwise what was written is given up, and nothing has
// changed.
//
// Files are written as `link` writes them: each beside the file it
// replaces, all put in place together, the old contents of each kept in a
// numbered backup; a file whose bytes would not change is neither written
// nor backed up.
#pragma once

#include <string>
#include <vector>

#include "files/input_file.h"
#include "files/replacement_file.h"

namespace rb {

// An error of the document: "LINE:COLUMN: error: TEXT" follows its name.
struct ImportError {
  long long line = 0;
  long long column = 0;  // in bytes, from 1
  std::string text;
  std::size_t found = 0;   // how many errors were found before it
  std::size_t offset = 0;  // where the text before its token ends, or where it is
  bool exact = false;      // at `offset` itself (bad JSON), not the token after it
};

struct ImportOptions {
  std::string into;  // the folder the names are under ("" for the current one)
  bool dryRun = false;
};

// A file the document names, and what becomes of it.
struct ImportedFile {
  std::string name;  // where it is written, under `into`
  enum class Change { New, Changed, Unchanged } change = Change::Unchanged;
};

struct ImportOutcome {
  std::vector<ImportError> errors;  // the first of them, in document order
  std::size_t moreErrors = 0;       // how many more there are
  std::vector<ImportedFile> files;
  // When writing failed: the file and why, and what became of each file.
  std::string failedFile, reason;
  std::vector<ReplacedFile> states;
  std::vector<std::pair<std::string, std::string>> backups;  // file, backup
};

// Reads the document `document` (open, at its start) and, when it holds no
// error and this is no dry run, writes its files.
ImportOutcome importWorld(InputFile& document, const ImportOptions& options);

// Errors said, at most.
inline constexpr std::size_t kMostImportErrors = 100;

}  // namespace rb
