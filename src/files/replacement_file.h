// A file written anew beside the one it replaces, and put in its place only
// when all of it is written: first a temporary file in the same folder,
// synced; then the old contents are kept in a numbered backup and the new
// file renamed over the name. Until then the old file stays as it was, and
// a replacement given up leaves no temporary file behind.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace rb {

class ReplacementFile {
 public:
  ReplacementFile() = default;
  ~ReplacementFile();  // gives up what is not committed
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;
  ReplacementFile(ReplacementFile&& other) noexcept;

  // Creates the temporary file that will replace `name`, with `mode`.
  // False (errno set) when it cannot be created.
  bool start(const std::string& name, mode_t mode);
  // False (errno set) when not all of `text` could be written.
  bool write(std::string_view text);
  // Syncs and closes the temporary file; false (errno set) when that fails.
  bool finishWriting();
  // Keeps the old contents in a backup (its name in `backup`) and puts the
  // new file in place; false (errno set) when either fails, the old file
  // then still in its place.
  bool commit(std::string& backup);
  // Removes the temporary file.
  void abandon();

  const std::string& name() const { return name_; }

 private:
  std::string name_;
  std::string temporary_;
  int fd_ = -1;
};

}  // namespace rb
