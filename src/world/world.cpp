#include "world/world.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "format/data_row.h"
#include "format/function_name.h"
#include "format/loose_record.h"
#include "format/room_record.h"

namespace rb {

namespace {

// A file opened for reading, closed when this goes away.
class ReadFile {
 public:
  explicit ReadFile(const std::string& name) {
    // Not waiting at the open for a FIFO's writer.
    fd_ = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0) throw WorldFileError{name, std::strerror(errno)};
    struct stat info {};
    if (fstat(fd_, &info) != 0) throw WorldFileError{name, std::strerror(errno)};
    if (S_ISDIR(info.st_mode)) throw WorldFileError{name, std::strerror(EISDIR)};
    fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
  }
  ~ReadFile() { ::close(fd_); }
  ReadFile(const ReadFile&) = delete;
  ReadFile& operator=(const ReadFile&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_ = -1;
};

// A row of a file that may yet turn out to be a room file.
struct PendingRow {
  std::uint32_t line;
  NameTable::Id name;
  std::uint8_t flags;
};

std::uint32_t lineNumber(long long line) {
  return static_cast<std::uint32_t>(std::min<long long>(line, UINT32_MAX));
}

}  // namespace

void World::read(const std::vector<std::string>& names, const RecordHook& hook, Keep keep) {
  rows_ = keep == Keep::RoomsAndRows;
  keepLinksLines_ = keep == Keep::RoomsAndLinksLines;
  files_.reserve(names.size());
  for (const std::string& name : names) {
    ReadFile file(name);
    files_.push_back(WorldFile{});
    WorldFile& world = files_.back();
    world.name = name;
    try {
      readFile(world, file.fd(), hook);
    } catch (const AreaReadError& error) {
      throw WorldFileError{name, error.tooLarge ? "too large to read" : std::strerror(error.error)};
    } catch (const std::bad_alloc&) {
      throw WorldFileError{name, "too large to read"};
    }
  }
  finish();
}

void World::readFile(WorldFile& file, int fd, const RecordHook& hook) {
  LineReader lines(fd);
  DataLineKinds kinds;
  std::vector<PendingRow> rows;
  bool onlyRows = true, empty = true;
  std::string_view line;
  while (lines.next(line)) {
    empty = false;
    if (headerFunctionName(line)) {
      // A room file: what came before its first record is its prologue.
      file.rooms = true;
      file.firstRecord = records();
      RecordReader records(lines);
      records.startAtLastLine();
      RecordText text;
      while (records.next(text)) {
        if (!text.prologue) addRecord(text, hook);
      }
      file.endRecord = this->records();
      file.crlfLine = lines.firstCrLfLine();
      return;
    }
    const DataLine kind = kinds.kindOf(line);
    if (kind == DataLine::Other) onlyRows = false;
    if (kind != DataLine::Row || !onlyRows || !rows_) continue;
    rows.push_back({lineNumber(lines.lineNumber()),
                    matching_.rowName(names_, rowFunctionName(line), this->rows() + rows.size()),
                    writersRow(line) ? kWritersRow : std::uint8_t{0}});
  }
  file.crlfLine = lines.firstCrLfLine();
  file.firstRecord = file.endRecord = records();
  if (empty) return;  // a room file without rooms
  if (!onlyRows) throw WorldFileError{file.name, "neither room records nor data rows"};
  file.rooms = false;
  file.firstRow = this->rows();
  for (const PendingRow& row : rows) {
    rowLines_.push_back(row.line);
    rowFlags_.push_back(row.flags);
    matching_.addRow(row.name);
  }
  file.endRow = this->rows();
}

void World::addRecord(const RecordText& text, const RecordHook& hook) {
  // A record saved with CR LF line ends reads as the same fields, but is not
  // the writer's.
  const std::string_view lf = text.carriageReturn ? withLfLineEnds(text.text, lfText_) : text.text;
  std::uint8_t flags = 0;
  if (lf.data() == text.text.data() && isWritersRecord(text.text, room_)) {
    flags |= kWriters;
  } else if (!parseRoomRecord(lf, room_)) {
    readLoosely(lf, room_);
  }
  if (room_.shortname.empty()) flags |= kNoShortName;
  const std::size_t record = records();
  recordLines_.push_back(lineNumber(text.line));
  recordFlags_.push_back(flags);
  if (rows_) matching_.addRecord(names_.intern(text.function));
  graph_.add(room_.room, room_.exitd);
  if (keepLinksLines_) {
    const std::size_t start = (flags & kWriters) != 0 ? linksLineStart(text.text) : 0;
    linksLines_.push_back(text.offset + static_cast<long long>(start));
  }
  if (hook) hook(record, room_, text);
}

void World::finish() {
  graph_.finish();
  matching_.finish(names_.size());
  firstRecordOfName_.assign(names_.size(), 0);
  for (std::size_t record = matching_.records(); record-- > 0;)
    firstRecordOfName_[matching_.recordName(record)] = static_cast<std::uint32_t>(record + 1);
  firstRowOfName_.assign(names_.size(), 0);
  for (std::size_t row = matching_.rows(); row-- > 0;)
    firstRowOfName_[matching_.rowName(row)] = static_cast<std::uint32_t>(row + 1);
}

const WorldFile& World::fileOfRecord(std::size_t record) const {
  for (const WorldFile& file : files_) {
    if (file.rooms && record >= file.firstRecord && record < file.endRecord) return file;
  }
  return files_.front();
}

const WorldFile& World::fileOfRow(std::size_t row) const {
  for (const WorldFile& file : files_) {
    if (!file.rooms && row >= file.firstRow && row < file.endRow) return file;
  }
  return files_.front();
}

bool World::hasDataFile() const {
  return std::any_of(files_.begin(), files_.end(), [](const WorldFile& f) { return !f.rooms; });
}

std::size_t World::earlierNamed(std::size_t record) const {
  const std::size_t first = firstRecordOfName_[matching_.recordName(record)] - 1;
  return first < record ? first : kNone;
}

std::size_t World::earlierNumbered(std::size_t record) const {
  const std::size_t first = graph_.find(graph_.number(record));
  return first < record ? first : kNone;
}

std::size_t World::earlierRow(std::size_t row) const {
  const std::size_t first = firstRowOfName_[matching_.rowName(row)] - 1;
  return first < row ? first : kNone;
}

}  // namespace rb
