#include "builder/room_files.h"

#include <cerrno>

#include "shell/fatal_error.h"

namespace rb {

RoomFiles::~RoomFiles() {
  room_.sync();
  data_.sync();
}

void RoomFiles::save(std::string_view record, std::string_view row) {
  const off_t roomBefore = room_.length();
  const off_t dataBefore = data_.length();
  OutputFile* failed = nullptr;
  if (!room_.write(record)) {
    failed = &room_;
  } else if (!data_.write(row)) {
    failed = &data_;
  } else if (syncEachSave_) {
    if (!room_.sync()) {
      failed = &room_;
    } else if (!data_.sync()) {
      failed = &data_;
    }
  }
  if (!failed) return;
  const int error = errno;
  room_.cutBack(roomBefore);
  data_.cutBack(dataBefore);
  throw fileFailure(kFileNotWriting, failed->name(), error);
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

}  // namespace rb
