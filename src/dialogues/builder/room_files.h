// The room file and the room data file of one area build or transfer.
//
// A room is saved with one write per file, so it is on its way to the disk
// before the next room is edited. A save that fails cuts both files back to
// their length before it, so the room file always holds whole records and
// the data file the rows that match them; the failure is fatal. For a user
// at a terminal, what was saved is also put on the disk before the program
// waits for the next key: once per wait, however many rooms were saved
// since the last one. A file left open when the object goes away (the
// program ending early) is synced and closed quietly, keeping every room
// saved so far.
#pragma once

#include <string_view>

#include "files/output_file.h"
#include "format/room_model.h"
#include "terminal/console.h"

namespace rb {

inline constexpr const char* kFileNotOpening = "Fatal Error - File not opening.\n";
inline constexpr const char* kFileNotWriting = "Fatal Error - File not writing.\n";

class RoomFiles {
 public:
  // On a terminal, what was saved is synced whenever `con` is about to wait
  // for input.
  explicit RoomFiles(Console& con);
  ~RoomFiles();
  RoomFiles(const RoomFiles&) = delete;
  RoomFiles& operator=(const RoomFiles&) = delete;

  OutputFile& roomFile() { return room_; }
  OutputFile& dataFile() { return data_; }

  // Appends `record` to the room file and `row` to the data file. Throws
  // FatalError(kFileNotWriting) when either fails, with both cut back.
  void save(std::string_view record, std::string_view row);

  // Puts what was saved since the last sync on the disk. Throws
  // FatalError(kFileNotWriting) when that fails, with both files cut back
  // to what the last sync put there.
  void syncSaved();

  // Syncs and closes both files; throws FatalError(kFileNotWriting) when that
  // fails.
  void close();

 private:
  [[noreturn]] void failed(OutputFile& file, int error, off_t roomLength, off_t dataLength);

  Console& con_;
  bool syncBeforeWaits_;
  bool unsynced_ = false;
  off_t syncedRoom_ = 0;
  off_t syncedData_ = 0;
  OutputFile room_;
  OutputFile data_;
};

// The room writer's save: appends the room's record to the room file, then
// its row to the data file.
void save(const WorkingRoom& room, const AreaDefaults& area, RoomFiles& files);

}  // namespace rb
