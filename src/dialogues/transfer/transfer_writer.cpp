#include "dialogues/transfer/transfer_writer.h"

#include "format/data_row.h"
#include "format/room_record.h"

namespace rb {

namespace {

// Copied records go out in blocks of about this much.
constexpr std::size_t kSaveBlock = 256 * 1024;

}  // namespace

TransferWriter::TransferWriter(const World& world, int roomFd, int dataFd, RoomFiles& files)
    : world_(world), files_(files), roomLines_(roomFd), dataLines_(dataFd), records_(roomLines_) {
  // The prologue, and the rows that wait for no record.
  readRecord();
  addReadyRows();
  save();
}

void TransferWriter::readRecord() {
  haveRecord_ = false;
  while (records_.next(record_)) {
    if (!record_.prologue) {
      haveRecord_ = true;
      return;
    }
    roomText_ += record_.text;
  }
}

void TransferWriter::addReadyRows() {
  for (;;) {
    if (!haveDataLine_) {
      if (dataEnded_ || !dataLines_.next(dataLine_)) {
        dataEnded_ = true;
        return;
      }
      haveDataLine_ = true;
      dataLineIsRow_ = kinds_.kindOf(dataLine_) == DataLine::Row;
    }
    if (dataLineIsRow_) {
      // A row waits for its record.
      const std::int32_t record = world_.matching().recordOf(nextRow_);
      if (record != RowMatching::kNone && static_cast<std::size_t>(record) >= next_) return;
      ++nextRow_;
      const auto edited = editedRows_.find(static_cast<std::size_t>(record));
      if (record != RowMatching::kNone && edited != editedRows_.end()) {
        dataText_ += edited->second;
        editedRows_.erase(edited);
        haveDataLine_ = false;
        continue;
      }
    }
    dataText_ += dataLine_;
    if (dataLine_.back() != '\n') dataText_ += '\n';
    haveDataLine_ = false;
  }
}

void TransferWriter::save() {
  files_.save(roomText_, dataText_);
  roomText_.clear();
  dataText_.clear();
}

void TransferWriter::copyUpTo(std::size_t end) {
  while (next_ < end && haveRecord_) {
    roomText_ += record_.text;
    ++next_;
    readRecord();
    addReadyRows();
    if (roomText_.size() + dataText_.size() >= kSaveBlock) save();
  }
  save();
}

void TransferWriter::writeEdited(const WorkingRoom& room, const AreaDefaults& defaults) {
  appendRoomRecord(roomText_, room);
  editedRows_.emplace(next_, dataRow(room, defaults));
  ++next_;
  readRecord();
  addReadyRows();
  save();
}

void TransferWriter::finish() {
  copyUpTo(world_.records());
  addReadyRows();
  save();
  files_.close();
}

}  // namespace rb
