// The second pass of a transfer: both files read again from their starts
// and written to the new files as rooms are transferred. The new room file
// gets the prologue and the records in their order; the new data file is the
// old one line for line, a room's row going out once its room has (as
// edited, or as it was), so the data file follows the room file as closely
// as its own order allows. Lines that are not rows of a room (comments,
// preprocessor lines, blank lines, rows of no record) stay where they were,
// and every line of the new data file ends with a line break.
//
// Records copied without a key between them go out together, in blocks, as
// one save each: a failed save still cuts both files back to whole records.
#pragma once

#include <string>
#include <unordered_map>

#include "dialogues/builder/room_files.h"
#include "format/area_reader.h"
#include "format/data_row.h"
#include "format/room_model.h"
#include "world/world.h"

namespace rb {

class TransferWriter {
 public:
  // Reads the files open on `roomFd` and `dataFd` from their starts: the
  // room file and the data file `world` was read from.
  TransferWriter(const World& world, int roomFd, int dataFd, RoomFiles& files);

  // Copies every record before record `end` not yet written, and the rows
  // that can go with them; all of it is saved before this returns.
  void copyUpTo(std::size_t end);
  // The text of the next record, which is about to be edited (valid until
  // the next call).
  std::string_view nextRecordText() const { return record_.text; }
  // Writes the next record as edited.
  void writeEdited(const WorkingRoom& room, const AreaDefaults& defaults);
  // Copies the rest and closes both files.
  void finish();

 private:
  void readRecord();
  void addReadyRows();
  void save();

  const World& world_;
  RoomFiles& files_;
  LineReader roomLines_, dataLines_;
  RecordReader records_;
  RecordText record_;  // the next record, once read
  bool haveRecord_ = false;
  std::size_t next_ = 0;  // the next record to write
  DataLineKinds kinds_;
  std::string_view dataLine_;  // the next line of the data file, once read
  bool haveDataLine_ = false;
  bool dataLineIsRow_ = false;
  bool dataEnded_ = false;
  std::size_t nextRow_ = 0;                                  // rows of the data file read so far
  std::unordered_map<std::size_t, std::string> editedRows_;  // by record, not yet written
  std::string roomText_, dataText_;                          // not yet saved
};

}  // namespace rb
