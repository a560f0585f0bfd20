#include "explorer/room_file_reader.h"

#include <sys/types.h>

#include <cstdlib>

#include "explorer/look_line.h"
#include "shell/char_class.h"
#include "shell/number_text.h"

namespace rb {

namespace {

// Whole lines of a file, line break included, however long they are.
class LineReader {
 public:
  explicit LineReader(std::FILE* file) : file_(file) {}
  ~LineReader() { std::free(buffer_); }
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // The next line (valid until the next call), or false at the end.
  bool next(std::string_view& line) {
    const ssize_t length = getline(&buffer_, &capacity_, file_);
    if (length < 0) return false;
    line = std::string_view(buffer_, static_cast<std::size_t>(length));
    return true;
  }

  bool skip(int count) {
    std::string_view ignored;
    for (int i = 0; i < count; ++i) {
      if (!next(ignored)) return false;
    }
    return true;
  }

 private:
  std::FILE* file_;
  char* buffer_ = nullptr;
  std::size_t capacity_ = 0;
};

// The character by which the reader tells a command line ("case 2:") and an
// event line ("case 3:") from the brief line ("case 4:").
char caseDigit(std::string_view line) {
  return line.size() > 5 ? line[5] : '\0';
}

// Reads one record; false when the file ended or the header line is not one.
bool loadRecord(LineReader& in, int lowest, RoomMap& map) {
  std::string_view line;
  if (!in.next(line) || line.find('_') == std::string_view::npos) return false;
  MapRoom* room = nullptr;
  if (const auto index = RoomMap::indexOf(headerRoomNumber(line), lowest)) {
    room = &map[*index];
    *room = MapRoom();
    room->present = true;
  }
  if (!in.skip(3) || !in.next(line)) return false;
  if (room) scanLinks(line, room->exits);
  if (!in.skip(2) || !in.next(line)) return false;
  if (room) cutLookLine(line, *room);
  if (!in.skip(2) || !in.next(line)) return false;
  if (caseDigit(line) == '2' && !in.next(line)) return false;
  if (caseDigit(line) == '3' && !in.next(line)) return false;
  return in.skip(2);
}

}  // namespace

void scanLinks(std::string_view line, std::array<int, kExitCount>& exits) {
  std::size_t pos = 0;
  const auto skipBlanks = [&] {
    while (pos < line.size() && isSpace(line[pos]))
      ++pos;
  };
  // A blank in the pattern matches any white space, also none.
  const auto match = [&](std::string_view pattern) {
    for (char c : pattern) {
      if (c == ' ') {
        skipBlanks();
      } else if (pos < line.size() && line[pos] == c) {
        ++pos;
      } else {
        return false;
      }
    }
    return true;
  };
  if (!match("int links[]={ ")) return;
  for (int& exit : exits) {
    if (&exit != &exits.front() && !match(",")) return;
    skipBlanks();
    const std::size_t start = pos;
    if (pos < line.size() && (line[pos] == '+' || line[pos] == '-')) ++pos;
    const std::size_t digits = pos;
    while (pos < line.size() && isDigit(line[pos]))
      ++pos;
    if (pos == digits) return;
    exit = textToInt(line.substr(start, pos - start));
  }
}

void loadRooms(std::FILE* file, int lowest, RoomMap& map) {
  LineReader in(file);
  while (loadRecord(in, lowest, map)) {
  }
}

}  // namespace rb
