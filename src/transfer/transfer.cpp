#include "transfer/transfer.h"

#include <unordered_map>
#include "builder/file_dialogue.h"

#include "builder/room_files.h"
#include "builder/room_function_name.h"
#include "builder/room_menu.h"
#include "builder/room_model.h"
#include "builder/room_writer.h"
#include "builder/taken_names.h"
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
      case ReadStatus::TooLarge:
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

// Writes the new files: the room file in the order of the records, the
// data file in its own order, line for line. A row goes out once its room
// has gone out (as edited, or copied), so the data file follows the room
// file as closely as its order allows; lines that are not rows of a room
// (comments, preprocessor lines, blank lines, rows of no record) stay where
// they were. Every line of the new data file ends with a line break.
class TransferWriter {
 public:
  TransferWriter(const AreaFiles& area, RoomFiles& files) : area_(area), files_(files) {
    files_.save(area_.prologue, readyRows());
  }

  // Copies every record before `end` not yet written.
  void copyUpTo(std::size_t end) {
    while (next_ < end)
      writeNext(area_.records[next_].text, {});
  }

  // Writes the next record as edited.
  void writeEdited(const WorkingRoom& room, const AreaDefaults& defaults) {
    writeNext(roomRecord(room), dataRow(room, defaults));
  }

  // Copies the rest and closes both files.
  void finish() {
    copyUpTo(area_.records.size());
    files_.save("", readyRows());
    files_.close();
  }

 private:
  // `row` empty: the record's own row, if it has one, as it was.
  void writeNext(std::string_view record, std::string row) {
    if (!row.empty()) editedRows_.emplace(static_cast<int>(next_), std::move(row));
    ++next_;
    files_.save(record, readyRows());
  }

  // The rows, from the first not yet written, whose rooms have been written.
  std::string readyRows() {
    std::string out;
    for (; nextRow_ < area_.rows.size(); ++nextRow_) {
      const DataRow& row = area_.rows[nextRow_];
      if (row.record >= 0 && static_cast<std::size_t>(row.record) >= next_) break;
      const auto edited = editedRows_.find(row.record);
      if (edited != editedRows_.end()) {
        out += edited->second;
        editedRows_.erase(edited);
        continue;
      }
      out += row.text;
      if (row.text.back() != '\n') out += '\n';
    }
    return out;
  }

  const AreaFiles& area_;
  RoomFiles& files_;
  std::size_t next_ = 0;                             // the next record to write
  std::size_t nextRow_ = 0;                          // the next line of the data file to write
  std::unordered_map<int, std::string> editedRows_;  // rows of edited records not yet written
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

  RoomFiles files(con);
  askForNewFile(con, "Please enter the name of the new room file.\n", files.roomFile(), roomSource,
                dataSource, nullptr);
  askForNewFile(con, "Please enter the name of the new room data file.\n", files.dataFile(),
                roomSource, dataSource, &files.roomFile());
  TransferWriter writer(area, files);
  // The names of the new room file's functions: each record's, as edited
  // once it has been.
  TakenNames names;
  for (const RoomRecord& record : area.records)
    names.add(record.function);
  try {
    for (std::size_t current = askForStart(con, area); current < area.records.size();
         current = nextEditable(area, current + 1)) {
      writer.copyUpTo(current);
      const RoomRecord& record = area.records[current];
      WorkingRoom room = record.room;
      AreaDefaults defaults = record.area;
      const NameTaken taken = [&](const std::string& name) {
        return names.taken(name, record.function);
      };
      if (roomMenu(con, settings, room, defaults, taken) == RoomMenuEnd::Leave) break;
      names.rename(record.function, functionName(room.tempregionname, room.room));
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
