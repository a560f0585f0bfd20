// The room file and the room data file of one area build.
//
// Each saved room is written with one write per file, so it is on its way to
// the disk before the next room is edited. Any failure to write or close is
// fatal; a file left open when the object goes away (the program ending
// early) is closed quietly, keeping every room written so far.
#pragma once

#include <string>
#include <string_view>

namespace rb {

inline constexpr const char* kFileNotOpening = "Fatal Error - File not opening.\n";
inline constexpr const char* kFileNotWriting = "Fatal Error - File not writing.\n";

enum class OpenMode { Create, Append };  // "w+": created or emptied; "a": appended to

class RoomFiles {
 public:
  RoomFiles() = default;
  ~RoomFiles();
  RoomFiles(const RoomFiles&) = delete;
  RoomFiles& operator=(const RoomFiles&) = delete;

  // Both throw FatalError(kFileNotOpening) when the file will not open.
  void openRoomFile(const std::string& name, OpenMode mode);
  // Returns false, with the data file closed again, when it turns out to be
  // the room file itself (same device and inode).
  bool openDataFile(const std::string& name, OpenMode mode);

  // Both throw FatalError(kFileNotWriting) when not all of `text` is written.
  void writeRoom(std::string_view text) { writeAll(roomFd_, text); }
  void writeData(std::string_view text) { writeAll(dataFd_, text); }

  // Closes both files; throws FatalError(kFileNotWriting) when a close fails.
  void close();

 private:
  static int open(const std::string& name, OpenMode mode);
  static void writeAll(int fd, std::string_view text);

  int roomFd_ = -1;
  int dataFd_ = -1;
};

}  // namespace rb
