#include "dialogues/builder/room_files.h"

#include <cerrno>

#include "format/data_row.h"
#include "format/room_record.h"
#include "terminal/fatal_error.h"

namespace rb {

RoomFiles::RoomFiles(Console& con) : con_(con), syncBeforeWaits_(con.isTerminal()) {
  if (syncBeforeWaits_) con_.setBeforeWait([this] { syncSaved(); });
}

RoomFiles::~RoomFiles() {
  if (syncBeforeWaits_) con_.setBeforeWait({});
  room_.sync();
  data_.sync();
}

void RoomFiles::failed(OutputFile& file, int error, off_t roomLength, off_t dataLength) {
  room_.cutBack(roomLength);
  data_.cutBack(dataLength);
  throw fileFailure(kFileNotWriting, file.name(), error);
}

void RoomFiles::save(std::string_view record, std::string_view row) {
  if (record.empty() && row.empty()) return;
  if (!unsynced_) {
    syncedRoom_ = room_.length();
    syncedData_ = data_.length();
  }
  const off_t roomBefore = room_.length();
  const off_t dataBefore = data_.length();
  if (!room_.write(record)) failed(room_, errno, roomBefore, dataBefore);
  if (!data_.write(row)) failed(data_, errno, roomBefore, dataBefore);
  unsynced_ = true;
}

void RoomFiles::syncSaved() {
  if (!unsynced_) return;
  unsynced_ = false;
  if (!room_.sync()) failed(room_, errno, syncedRoom_, syncedData_);
  if (!data_.sync()) failed(data_, errno, syncedRoom_, syncedData_);
}

void RoomFiles::close() {
  for (OutputFile* file : {&room_, &data_}) {
    if (!file->isOpen()) continue;
    if (!file->sync() || !file->close()) {
      const int error = errno;
      room_.close();
      data_.close();
      throw fileFailure(kFileNotWriting, file->name(), error);
    }
  }
}

void save(const WorkingRoom& room, const AreaDefaults& area, RoomFiles& files) {
  files.save(roomRecord(room), dataRow(room, area));
}

}  // namespace rb
