#include "tools/json/world_export.h"

#include <rapidjson/writer.h>

#include "base/text_append.h"
#include "files/input_file.h"
#include "format/area_reader.h"
#include "format/data_row.h"
#include "format/exit_slot.h"
#include "format/function_name.h"
#include "format/record_batch.h"
#include "format/room_record.h"
#include "tools/json/json_out.h"
#include "tools/json/json_text.h"

namespace rb {

namespace {

// RapidJSON's writer, but strings (most of a world) made and handed over
// whole rather than character by character: the writer puts only what
// goes before them (a comma or a colon).
class Writer : public rapidjson::Writer<JsonOut> {
 public:
  explicit Writer(JsonOut& out) : rapidjson::Writer<JsonOut>(out), out_(out) {}

  void string(std::string_view bytes) {
    json_.clear();
    appendJsonString(json_, bytes);
    RawValue("", 0, rapidjson::kStringType);
    out_.append(json_);
  }

 private:
  JsonOut& out_;
  std::string json_;
};

void key(Writer& w, std::string_view name) {
  w.string(name);
}

const char* lineEndsName(LineEnds ends) {
  switch (ends) {
    case LineEnds::CrLf:
      return "CRLF";
    case LineEnds::Mixed:
      return "mixed";
    case LineEnds::Lf:
      break;
  }
  return "LF";
}

void writeRoom(Writer& w, const WorkingRoom& room) {
  key(w, "room");
  w.StartObject();
  key(w, "number");
  w.Int(room.room);
  key(w, "region");
  w.string(room.tempregionname);
  key(w, "shortName");
  w.string(room.shortname);
  key(w, "description");
  w.StartArray();
  for (int k = 0; k <= room.lines; ++k)
    w.string(room.ldesc[static_cast<std::size_t>(k)]);
  w.EndArray();
  key(w, "exits");
  w.StartObject();
  for (const int slot : kShownOrder) {
    const int exit = room.exitd[static_cast<std::size_t>(slot)];
    if (exit == kNoExit) continue;
    key(w, exitSlot(slot).word);
    w.Int(exit);
  }
  w.EndObject();
  if (room.command > 0) {
    key(w, "command");
    w.StartArray();
    for (int k = 1; k <= room.command; ++k)
      w.string(room.comm[static_cast<std::size_t>(k)]);
    w.EndArray();
    key(w, "response");
    w.StartArray();
    for (int k = 0; k <= room.clines; ++k)
      w.string(room.cdesc[static_cast<std::size_t>(k)]);
    w.EndArray();
  }
  if (room.t > 0) {
    key(w, "event");
    w.StartObject();
    key(w, "frequency");
    // The digits the file holds, which read back give the same value.
    std::string digits;
    appendText(digits, SixDecimals{room.t});
    w.RawValue(digits.data(), digits.size(), rapidjson::kNumberType);
    key(w, "text");
    w.string(room.randtext);
    w.EndObject();
  }
  w.EndObject();
}

void writeRawText(Writer& w, JsonOut& stream, std::string& pending) {
  if (pending.empty()) return;
  stream.lineBeforeNext();
  w.StartObject();
  key(w, "text");
  w.string(pending);
  w.EndObject();
  pending.clear();
}

// Whether a record is exported as a room: the writer's own (in a CR LF
// file, but for its line ends).
struct RoomOrText {
  bool isRoom = false;
};

RoomOrText readAsRoom(const RecordText& record, bool crLf, WorkingRoom& room, std::string& lf) {
  // A record of a CR LF file is a room when only its line ends are not
  // the writer's; in a file of both line ends its CR LF records are text.
  const std::string_view fields =
      crLf && record.carriageReturn ? withLfLineEnds(record.text, lf) : record.text;
  return {(!record.carriageReturn || crLf) && isWritersRecord(fields, room) &&
          (fields.data() == record.text.data() || fields.find('\r') == std::string_view::npos)};
}

void exportRoomFile(Writer& w, JsonOut& stream, const WorldFile& file, int fd) {
  LineReader lines(fd);
  RecordReader records(lines);
  std::string pending;
  const bool crLf = file.lineEnds == LineEnds::CrLf;
  const auto keep = [&](const RecordText& record, const WorkingRoom& room, RoomOrText read) {
    if (record.prologue) {
      pending.append(record.text);
    } else if (!read.isRoom) {
      pending.append(record.text);
      writeRawText(w, stream, pending);
    } else {
      writeRawText(w, stream, pending);
      stream.lineBeforeNext();
      w.StartObject();
      writeRoom(w, room);
      w.EndObject();
    }
  };
  const auto parse = [crLf](const RecordText& record, WorkingRoom& room, std::string& lf) {
    return readAsRoom(record, crLf, room, lf);
  };
  // A large file's records are parsed on a second thread while this one
  // writes the JSON of those before.
  readRecords<RoomOrText>(records, file.state.size >= kParseBesideFrom, parse, keep);
  writeRawText(w, stream, pending);
}

void exportDataFile(Writer& w, JsonOut& stream, const WorldFile& file, int fd) {
  LineReader lines(fd);
  DataLineKinds kinds;
  std::string pending, lf;
  const bool crLf = file.lineEnds == LineEnds::CrLf;
  std::string_view line;
  while (lines.next(line)) {
    std::optional<DataRowFields> fields;
    if (kinds.kindOf(line) == DataLine::Row) {
      if (crLf && line.size() >= 2 && line.substr(line.size() - 2) == "\r\n") {
        lf.assign(line.substr(0, line.size() - 2));
        lf += '\n';
        fields = writersRow(lf);
      } else if (!crLf) {
        fields = writersRow(line);
      }
    }
    std::string_view region;
    int number = 0;
    if (!fields || !menuFunctionName(fields->function, region, number)) {
      pending.append(line);
      continue;
    }
    writeRawText(w, stream, pending);
    stream.lineBeforeNext();
    w.StartObject();
    key(w, "row");
    w.StartObject();
    key(w, "function");
    w.string(fields->function);
    key(w, "region");
    w.Int(fields->region);
    key(w, "dark");
    w.Bool(fields->roomdark == 0);
    key(w, "terrain");
    w.Int(fields->roomterrain);
    w.EndObject();
    w.EndObject();
  }
  writeRawText(w, stream, pending);
}

}  // namespace

void exportWorld(const World& world, OutputStream& out) {
  JsonOut stream(out);
  Writer w(stream);
  w.StartObject();
  key(w, "format");
  w.String(world_json::kFormat.data(),
           static_cast<rapidjson::SizeType>(world_json::kFormat.size()));
  key(w, "version");
  w.Int(world_json::kVersion);
  key(w, "files");
  w.StartArray();
  for (const WorldFile& file : world.files()) {
    stream.lineBeforeNext();
    InputFile input;
    if (input.open(file.name) != InputFile::Status::Open) {
      throw WorldFileError{file.name, input.reason()};
    }
    w.StartObject();
    key(w, "name");
    w.string(file.name);
    key(w, "kind");
    w.String(file.rooms ? "rooms" : "data");
    key(w, "lineEnds");
    w.String(lineEndsName(file.lineEnds));
    key(w, "content");
    w.StartArray();
    try {
      if (file.rooms) {
        exportRoomFile(w, stream, file, input.fd());
      } else {
        exportDataFile(w, stream, file, input.fd());
      }
    } catch (const AreaReadError& error) {
      throw WorldFileError{file.name, error.tooLarge ? "too large to read" : "cannot be read"};
    }
    stream.lineBeforeNext();
    w.EndArray();
    w.EndObject();
  }
  stream.lineBeforeNext();
  w.EndArray();
  w.EndObject();
  stream.send();
  out.print("\n");
}

}  // namespace rb
