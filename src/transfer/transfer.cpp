#include "transfer/transfer.h"

#include "builder/file_dialogue.h"
#include "builder/room_files.h"
#include "builder/room_menu.h"
#include "builder/room_model.h"
#include "builder/room_writer.h"
#include "explorer/explorer_walk.h"
#include "shell/number_text.h"
#include "transfer/area_files.h"
#include "transfer/source_file.h"

namespace rb {

namespace {

constexpr const char* kUnableToOpen = "Unable to open that file.\n";

// Asks for a file to read until one is read; false after an empty line.
// `other`, when given, is the room file, which the data file must not be.
bool askForSource(Console& con, const char* prompt, SourceFile& file, const SourceFile* other) {
  for (;;) {
    con.print(prompt);
    const std::string name = con.readLine(kFileNameSize, LineKind::FileName);
    if (name.empty()) return false;
    switch (readSourceFile(name, file)) {
      case ReadStatus::Read:
        if (other && file.id == other->id) {
          con.print("The data file must not be the room file.\n");
          continue;
        }
        return true;
      case ReadStatus::InUse:
        con.print(kFileInUse);
        continue;
      case ReadStatus::Unreadable:
        con.print(kUnableToOpen);
        continue;
    }
  }
}

// Asks for a new file until one opens (created, or emptied after its old
// contents were kept). A file being read is refused before anything opens
// it; so is the new room file as the new data file.
void askForNewFile(Console& con, const char* prompt, OutputFile& file, const SourceFile& room,
                   const SourceFile& data, const OutputFile* newRoomFile) {
  for (;;) {
    con.print(prompt);
    const std::string name = con.readLine(kFileNameSize, LineKind::FileName);
    const auto id = fileIdOf(name);
    if (id && (*id == room.id || *id == data.id)) {
      con.print("The new files must not be the files being read.\n");
      continue;
    }
    if (newRoomFile && newRoomFile->isNamed(name)) {
      con.print("The new data file must not be the new room file.\n");
      continue;
    }
    const OutputFile::Outcome outcome = openAndTell(con, file, name, OpenMode::Create);
    if (outcome.status == OutputFile::Status::Opened) return;
    if (outcome.status == OutputFile::Status::Failed) con.print(kUnableToOpen);
  }
}

// The first record that can be edited from `from` on, or the end.
std::size_t nextEditable(const AreaFiles& area, std::size_t from) {
  while (from < area.records.size() && !area.records[from].editable)
    ++from;
  return from;
}

// The record to start editing at.
std::size_t askForStart(Console& con, const AreaFiles& area) {
  for (;;) {
    con.print("Which room do you wish to start editing at? (Enter for the first)\n");
    const std::string answer = con.readLine(kExplorerLineSize, LineKind::Number);
    if (answer.empty()) return nextEditable(area, 0);
    const int number = textToInt(answer);
    for (std::size_t i = 0; i < area.records.size(); ++i) {
      if (area.records[i].editable && area.records[i].room.room == number) return i;
    }
    con.print("No such room.\n");
  }
}

// Writes the new files in order: the prologue, then each record with its
// row, then the rows that belong to no record.
class TransferWriter {
 public:
  TransferWriter(const AreaFiles& area, RoomFiles& files) : area_(area), files_(files) {
    files_.save(area_.prologue, "");
  }

  // Copies every record before `end` not yet written.
  void copyUpTo(std::size_t end) {
    for (; next_ < end; ++next_) {
      const RoomRecord& record = area_.records[next_];
      files_.save(record.text, rowOf(record));
    }
  }

  // Writes the next record as edited.
  void writeEdited(const WorkingRoom& room, const AreaDefaults& defaults) {
    files_.save(roomRecord(room), dataRow(room, defaults));
    ++next_;
  }

  // Copies the rest and closes both files.
  void finish() {
    copyUpTo(area_.records.size());
    std::string unmatched;
    for (const DataRow& row : area_.rows) {
      if (row.record < 0) unmatched += row.text;
    }
    files_.save("", unmatched);
    files_.close();
  }

 private:
  std::string_view rowOf(const RoomRecord& record) const {
    return record.row < 0 ? std::string_view()
                          : area_.rows[static_cast<std::size_t>(record.row)].text;
  }

  const AreaFiles& area_;
  RoomFiles& files_;
  std::size_t next_ = 0;  // the next record to write
};

}  // namespace

void transfer(Console& con, Settings& settings) {
  SourceFile roomSource, dataSource;
  if (!askForSource(con, "Please enter the name of the room file to transfer from.\n", roomSource,
                    nullptr) ||
      !askForSource(con, "Please enter the name of its room data file.\n", dataSource,
                    &roomSource)) {
    return;
  }
  const AreaFiles area = readAreaFiles(roomSource.text, dataSource.text);
  int editable = 0;
  for (const RoomRecord& record : area.records)
    editable += record.editable ? 1 : 0;
  con.print(static_cast<int>(area.records.size()), " rooms read, ", editable,
            " of them can be edited.\n");
  for (const RoomRecord& record : area.records) {
    if (!record.editable) {
      con.print("Room record at line ", record.line,
                " cannot be edited; it will be copied unchanged.\n");
    }
  }
  if (editable == 0) {
    con.print("There are no rooms to edit.\n");
    return;
  }

  RoomFiles files(con.isTerminal());
  askForNewFile(con, "Please enter the name of the new room file.\n", files.roomFile(), roomSource,
                dataSource, nullptr);
  askForNewFile(con, "Please enter the name of the new room data file.\n", files.dataFile(),
                roomSource, dataSource, &files.roomFile());
  TransferWriter writer(area, files);
  try {
    for (std::size_t current = askForStart(con, area); current < area.records.size();
         current = nextEditable(area, current + 1)) {
      writer.copyUpTo(current);
      WorkingRoom room = area.records[current].room;
      AreaDefaults defaults = area.records[current].area;
      if (roomMenu(con, settings, room, defaults) == RoomMenuEnd::Leave) break;
      writer.writeEdited(room, defaults);
    }
  } catch (const EndOfInput&) {
    // Whatever has not been saved goes over unchanged: a new pair of files
    // is always a whole transfer.
    writer.finish();
    throw;
  }
  writer.finish();
  con.print("Transfer completed, returning to main menu.\n");
}

}  // namespace rb
