// What a command prints: its output, streamed to standard output, and its
// messages on standard error; and how it ends.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/output_stream.h"
#include "world/world.h"
#include "world/world_edit.h"

namespace rb {

class CommandIo {
 public:
  CommandIo(int outFd, int errFd) : out(outFd), errFd_(errFd) {}

  OutputStream out;

  // A line on standard error, as "roombuilder: TEXT\n", its control bytes
  // shown as \xHH.
  void message(std::string_view text);
  // Text on standard error as it is (a notice that ends with its line break).
  void tell(std::string_view text);
  // Wrong arguments: "roombuilder: REASON" and the hint line on standard
  // error; status 2.
  int usage(std::string_view reason);
  // A file that cannot be read or written; status 2.
  int fileFailed(const std::string& file, std::string_view reason);
  // Reads the file an option names (a baseline, a word list) whole into
  // `text`; the status to end with when it cannot be read.
  std::optional<int> readOptionFile(const std::string& file, std::string& text);
  // Reads the world of `files`; the status to end with when a file cannot
  // be read. The program's own backups (names ending in ~, as NAME.~1~) are
  // left out, and said to be, unless `includeBackups`; its temporary files
  // (.NAME.rb-XXXXXX) and a transfer's files that are not whole yet
  // (NAME.partial-XXXXXX) are never read.
  std::optional<int> readWorld(World& world, const std::vector<std::string>& files,
                               const WorldReading& reading, bool includeBackups = false);
  // Applies an edit, telling where each changed file's old contents are
  // kept; the status to end with when it fails (nothing changed, or what
  // state each file is in), with the messages said.
  std::optional<int> applyEdit(WorldEdit& edit);
  // The status to end with: `status`, or 2 (with a message) when the output
  // could not all be written.
  int finish(int status);

 private:
  int errFd_;
};

// "Try 'roombuilder --help' for more information.\n"
extern const char* const kHelpHint;

}  // namespace rb
