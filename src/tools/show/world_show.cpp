#include "tools/show/world_show.h"

#include "base/text_append.h"
#include "base/visible_text.h"
#include "files/input_file.h"
#include "format/area_reader.h"
#include "format/data_row.h"
#include "format/function_name.h"
#include "tools/show/room_text.h"

namespace rb {

namespace {

// Lines of text as they stand, their control bytes escaped; `indent`
// before each.
void appendLines(std::string& out, std::string_view text, std::string_view indent) {
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    out += indent;
    appendHexEscaped(out, line);
    out += "\n";
  }
}

void showRoomFile(const World& world, const WorldFile& file, OutputStream& out) {
  // What comes before the first record.
  const long long prologue =
      file.endRecord > file.firstRecord ? world.recordOffset(file.firstRecord) : file.state.size;
  if (prologue > 0) {
    InputFile input;
    if (input.open(file.name) != InputFile::Status::Open) {
      throw WorldFileError{file.name, input.reason()};
    }
    std::string text;
    input.readAt(0, static_cast<std::size_t>(prologue), text);
    appendLines(out.buffer(), text, "");
  }
  for (std::size_t record = file.firstRecord; record < file.endRecord; ++record) {
    std::string& o = out.buffer();
    if ((world.recordFlags(record) & (World::kWriters | World::kCrLfWriters)) != 0) {
      const WorkingRoom room = world.room(record);
      appendText(o, "room ", room.room, " ");
      appendHexEscaped(o, functionName(room.tempregionname, room.room));
      o += "\n";
      appendRoomFields(o, room);
    } else {
      const std::string text = world.recordText(record);
      const std::string_view name =
          *headerFunctionName(std::string_view(text).substr(0, text.find('\n') + 1));
      appendText(o, "room ", headerRoomNumber(name), " ");
      appendHexEscaped(o, name);
      o += "\n  (not as the room writer writes it)\n";
      appendLines(o, text, "    ");
    }
    out.print();
  }
}

void showDataFile(const WorldFile& file, OutputStream& out) {
  InputFile input;
  if (input.open(file.name) != InputFile::Status::Open) {
    throw WorldFileError{file.name, input.reason()};
  }
  try {
    LineReader lines(input.fd());
    DataLineKinds kinds;
    std::string lf;
    std::string_view line;
    while (lines.next(line)) {
      std::optional<DataRowFields> fields;
      if (kinds.kindOf(line) == DataLine::Row) {
        fields = writersRow(line);
        if (!fields && line.size() >= 2 && line.substr(line.size() - 2) == "\r\n") {
          lf.assign(line.substr(0, line.size() - 2));
          lf += '\n';
          fields = writersRow(lf);
        }
      }
      if (fields) {
        appendRowLine(out.buffer(), fields->function,
                      RowView{fields->region, fields->roomdark, fields->roomterrain});
      } else {
        appendLines(out.buffer(), line, "");
      }
      out.print();
    }
  } catch (const AreaReadError& error) {
    throw WorldFileError{file.name, error.tooLarge ? "too large to read" : "cannot be read"};
  }
}

}  // namespace

void showWorld(const World& world, bool headers, OutputStream& out) {
  for (const WorldFile& file : world.files()) {
    if (headers) {
      out.print("==> ");
      appendHexEscaped(out.buffer(), file.name);
      out.print(" <==\n");
    }
    if (file.rooms) {
      showRoomFile(world, file, out);
    } else {
      showDataFile(file, out);
    }
  }
}

}  // namespace rb
