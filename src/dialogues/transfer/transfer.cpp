#include "dialogues/transfer/transfer.h"

#include <cerrno>
#include "dialogues/builder/file_dialogue.h"

#include "base/number_text.h"
#include "dialogues/builder/room_files.h"
#include "dialogues/builder/room_menu.h"
#include "dialogues/builder/taken_names.h"
#include "dialogues/transfer/source_files.h"
#include "dialogues/transfer/transfer_survey.h"
#include "dialogues/transfer/transfer_writer.h"
#include "format/area_reader.h"
#include "format/data_row.h"
#include "format/function_name.h"
#include "format/room_model.h"
#include "format/room_record.h"
#include "terminal/fatal_error.h"
#include "terminal/line_sizes.h"

namespace rb {

namespace {

constexpr const char* kUnableToOpen = "Unable to open that file.\n";

// Asks for a file to read until one opens; false after an empty line.
// `other`, when given, is the room file, which the data file must not be.
bool askForSource(Console& con, const char* prompt, SourceFile& file, const SourceFile* other) {
  for (;;) {
    con.print(prompt);
    const std::string name = con.readLine(kFileNameSize, LineKind::FileName);
    if (name.empty()) return false;
    switch (file.open(name)) {
      case SourceFile::Status::Open:
        if (other && file.id() == other->id()) {
          con.print("The data file must not be the room file.\n");
          continue;
        }
        return true;
      case SourceFile::Status::InUse:
        con.print(kFileInUse);
        continue;
      case SourceFile::Status::Unreadable:
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
    if (id && (*id == room.id() || *id == data.id())) {
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
std::size_t nextEditable(const TransferSurvey& survey, std::size_t from) {
  while (from < survey.records() && !survey.editable[from])
    ++from;
  return from;
}

// The record to start editing at.
std::size_t askForStart(Console& con, const TransferSurvey& survey) {
  for (;;) {
    con.print("Which room do you wish to start editing at? (Enter for the first)\n");
    const std::string answer = con.readLine(kExplorerLineSize, LineKind::Number);
    if (answer.empty()) return nextEditable(survey, 0);
    const int number = textToInt(answer);
    for (std::size_t i = 0; i < survey.records(); ++i) {
      if (survey.editable[i] && survey.numbers[i] == number) return i;
    }
    con.print("No such room.\n");
  }
}

// Edits the rooms from `current` on, as the user chooses, until the last
// one or x.
void editRooms(Console& con, Settings& settings, TransferSurvey& survey, TransferWriter& writer,
               std::size_t current) {
  // The names of the new room file's functions: each record's, as edited
  // once it has been.
  TakenNames names(survey.names);
  for (std::size_t record = 0; record < survey.records(); ++record)
    names.add(survey.matching.recordName(record));
  for (; current < survey.records(); current = nextEditable(survey, current + 1)) {
    writer.copyUpTo(current);
    // The record as the survey found it; should the file have changed since,
    // a record no longer the writer's is copied as it is.
    auto parsed = writersRecord(writer.nextRecordText());
    if (!parsed) continue;
    WorkingRoom room = std::move(*parsed);
    room.roomdark = survey.light[current];
    room.roomterrain = survey.terrain[current];
    AreaDefaults defaults;
    defaults.region = survey.regions[current];
    const std::string own(survey.names.name(survey.matching.recordName(current)));
    const NameTaken taken = [&](const std::string& name) { return names.taken(name, own); };
    if (roomMenu(con, settings, room, defaults, taken) == RoomMenuEnd::Leave) return;
    names.rename(own, functionName(room.tempregionname, room.room));
    writer.writeEdited(room, defaults);
  }
}

}  // namespace

void transfer(Console& con, Settings& settings) {
  SourceFile roomSource, dataSource;
  if (!askForSource(con, "Please enter the name of the room file to transfer from.\n", roomSource,
                    nullptr) ||
      !askForSource(con, "Please enter the name of its room data file.\n", dataSource,
                    &roomSource)) {
    return;
  }
  TransferSurvey survey;
  try {
    survey = surveyArea(roomSource.fd(), dataSource.fd());
  } catch (const AreaReadError&) {
    con.print(kUnableToOpen);
    return;
  }
  std::size_t editable = 0;
  for (const std::uint8_t e : survey.editable)
    editable += e;
  con.print(survey.records(), " rooms read, ", editable, " of them can be edited.\n");
  for (std::size_t record = 0; record < survey.records(); ++record) {
    if (!survey.editable[record]) {
      con.print("Room record at line ", survey.lines[record],
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
  if (!roomSource.rewind() || !dataSource.rewind()) {
    con.print(kUnableToOpen);
    return;
  }
  try {
    TransferWriter writer(survey, roomSource.fd(), dataSource.fd(), files);
    try {
      editRooms(con, settings, survey, writer, askForStart(con, survey));
    } catch (const EndOfInput&) {
      // Whatever has not been saved goes over unchanged: a new pair of files
      // is always a whole transfer.
      writer.finish();
      throw;
    }
    writer.finish();
  } catch (const AreaReadError& error) {
    // The files changed under the transfer in a way that cannot be read.
    throw fileFailure(kFileNotWriting, roomSource.name(), error.tooLarge ? EFBIG : error.error);
  }
  con.print("Transfer completed, returning to main menu.\n");
}

}  // namespace rb
