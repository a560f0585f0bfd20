// Reading a world: every file once, as a stream, keeping what world.h says.
#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "base/byte_hash.h"
#include "format/data_row.h"
#include "format/function_name.h"
#include "format/loose_record.h"
#include "format/record_batch.h"
#include "format/room_record.h"
#include "world/world.h"

namespace rb {

namespace {

std::uint32_t lineNumber(long long line) {
  return static_cast<std::uint32_t>(std::min<long long>(line, UINT32_MAX));
}

std::uint32_t shortHash(std::string_view bytes) {
  return static_cast<std::uint32_t>(hashBytes(bytes));
}

// As many files as the system allows a process to hold open: a world of
// thousands of files is held open for a whole run.
void raiseOpenFileLimit() {
  struct rlimit limit {};
  if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
  }
}

// The function names kept of some records or rows (WorldReading::keepName)
// while a world is read, each as a 64-bit hash of its bytes with the index
// of its record or row: 12 bytes a name, however long it is, so that the
// names of every room of a world of millions can be matched. Two names are
// taken as one when their hashes are (two different names meet with the
// odds of 2^-64, as two different records do).
class KeptNames {
 public:
  // 12 bytes: the hash in two halves, so that no padding follows it.
  struct Entry {
    std::uint32_t high, low;
    std::uint32_t index;
    std::uint64_t hash() const { return std::uint64_t{high} << 32 | low; }
  };
  void add(std::uint32_t index, std::string_view name) {
    const std::uint64_t hash = hashBytes(name);
    entries_.push_back(
        {static_cast<std::uint32_t>(hash >> 32), static_cast<std::uint32_t>(hash), index});
  }
  // Drops the names of indexes from `index` on (they were added last).
  void dropFrom(std::uint32_t index) {
    while (!entries_.empty() && entries_.back().index >= index)
      entries_.pop_back();
  }
  // The k-th record of a name with the k-th row of it, as (record, row) in
  // the order of the records. The names are let go.
  static std::vector<std::pair<std::uint32_t, std::uint32_t>> match(KeptNames& records,
                                                                    KeptNames& rows) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> matched;
    // Mostly the rows are named as the records are, in the same order (the
    // builder adds both together): then the k-th of each go together.
    const auto sameName = [](const Entry& a, const Entry& b) {
      return a.high == b.high && a.low == b.low;
    };
    if (std::equal(records.entries_.begin(), records.entries_.end(), rows.entries_.begin(),
                   rows.entries_.end(), sameName)) {
      matched.reserve(records.entries_.size());
      for (std::size_t k = 0; k < records.entries_.size(); ++k)
        matched.emplace_back(records.entries_[k].index, rows.entries_[k].index);
      records.entries_ = {};
      rows.entries_ = {};
      return matched;
    }
    records.sort();
    rows.sort();
    const std::vector<Entry>& a = records.entries_;
    const std::vector<Entry>& b = rows.entries_;
    matched.reserve(std::min(a.size(), b.size()));
    // Both sorted by hash and then by index: walked side by side, name by
    // name.
    for (std::size_t r = 0, w = 0; r < a.size();) {
      const std::uint64_t name = a[r].hash();
      while (w < b.size() && b[w].hash() < name)
        ++w;
      for (; r < a.size() && a[r].hash() == name; ++r) {
        if (w < b.size() && b[w].hash() == name) matched.emplace_back(a[r].index, b[w++].index);
      }
    }
    records.entries_ = {};
    rows.entries_ = {};
    std::sort(matched.begin(), matched.end());
    return matched;
  }

 private:
  void sort() {
    std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
      return a.hash() != b.hash() ? a.hash() < b.hash() : a.index < b.index;
    });
  }
  std::vector<Entry> entries_;
};

// What parsing a record tells: its flags and the slots of its links line
// whose numbers lie beyond int.
struct ParsedRecord {
  std::uint8_t flags = 0;
  std::uint16_t outOfRange = 0;
};

}  // namespace

// What kind a file is read as: from its content, or as the caller says.
enum class ReadAs { Content, Rooms, Data };

class WorldReader {
 public:
  WorldReader(World& world, const WorldReading& reading) : world_(world) {
    world_.reading_ = reading;
    world_.graph_.keepExits(reading.exits);
    if (reading.hold != InputFile::Lock::None) raiseOpenFileLimit();
  }

  void read(const std::string& name) {
    // One file named twice, by one name or by two, is one file.
    if (const auto id = fileIdOf(name)) {
      for (const WorldFile& file : world_.files_) {
        if (file.state.id == *id) return;
      }
    }
    // Held while descriptors last; a file that cannot be held is read now
    // and locked when it is written (its state, kept below, tells whether
    // it changed meanwhile).
    InputFile input;
    const bool held = world_.reading_.hold != InputFile::Lock::None && InputFile::mayHoldAnother();
    if (input.open(name, held ? world_.reading_.hold : InputFile::Lock::None) !=
        InputFile::Status::Open) {
      throw WorldFileError{name, input.reason()};
    }
    if (world_.reading_.hold == InputFile::Lock::Exclusive && !input.regular()) {
      // Read to be rewritten: a FIFO or a device cannot be.
      throw WorldFileError{name, "not a regular file; only regular files are rewritten"};
    }
    read(input, ReadAs::Content);
    if (held) world_.held_.back() = std::move(input);
  }

  void read(InputFile& input, ReadAs as) {
    world_.files_.push_back(WorldFile{});
    world_.held_.emplace_back();
    WorldFile& file = world_.files_.back();
    file.name = input.name();
    file.state = input.state();
    file.base = next_;
    try {
      readFile(file, input.fd(), as);
    } catch (const AreaReadError& error) {
      throw WorldFileError{file.name,
                           error.tooLarge ? "too large to read" : std::strerror(error.error)};
    } catch (const std::bad_alloc&) {
      throw WorldFileError{file.name, "too large to read"};
    }
    next_ = file.base + static_cast<std::uint64_t>(file.state.size);
  }

  void finish() {
    World& w = world_;
    if (w.reading_.names) w.matching_.finish(w.names_.size());
    if (!w.reading_.names && w.reading_.keepName) {
      w.keptRows_ = KeptNames::match(keptRecordNames_, keptRowNames_);
    }
  }

 private:
  void readFile(WorldFile& file, int fd, ReadAs as) {
    LineReader lines(fd);
    const std::size_t index = world_.files_.size() - 1;
    file.firstRecord = file.endRecord = world_.records();
    if (as == ReadAs::Rooms) {
      readRecords(file, index, lines, false);
    } else {
      readRowsOrRecords(file, index, lines, as == ReadAs::Data);
    }
    file.crlfLine = lines.firstCrLfLine();
    file.lines = lines.lineNumber();
    file.lineEnds = file.crlfLine == 0  ? LineEnds::Lf
                    : lines.sawLfLine() ? LineEnds::Mixed
                                        : LineEnds::CrLf;
    // What was read is the file: should it have grown or shrunk while it
    // was read, its state no longer matches what it is, and no change is
    // written into it.
    file.state.size = static_cast<off_t>(lines.bytesRead());
  }

  // A room file: its records, from the header line last read (or from the
  // start, the lines before the first header being its prologue).
  void readRecords(WorldFile& file, std::size_t index, LineReader& lines, bool atHeader) {
    file.rooms = true;
    file.firstRecord = world_.records();
    world_.recordFiles_.emplace_back(file.firstRecord, static_cast<std::uint32_t>(index));
    RecordReader records(lines);
    if (atHeader) records.startAtLastLine();
    // The records of a large file are parsed on a second thread, a batch at
    // a time, while this one reads the next batch and keeps the one before.
    const WorldReading& reading = world_.reading_;
    rb::readRecords<ParsedRecord>(
        records,
        (reading.fields || reading.exits || reading.visitor) &&
            file.state.size >= reading.parseBesideFrom,
        [this](const RecordText& text, WorkingRoom& room, std::string& lf) {
          return parseRecord(text, room, lf);
        },
        [this, &file](const RecordText& text, const WorkingRoom& room, ParsedRecord parsed) {
          if (text.prologue) {
            keepPrologue(file, text);
          } else {
            keepRecord(file, text, room, parsed);
          }
        });
    file.endRecord = world_.records();
  }

  void readRowsOrRecords(WorldFile& file, std::size_t index, LineReader& lines, bool dataOnly) {
    World& w = world_;
    const bool keepRows = w.reading_.names || w.reading_.rows;
    DataLineKinds kinds;
    // The rows go straight into the world; should the file turn out to be a
    // room file, they are dropped again.
    const std::size_t firstRow = w.rows();
    // Should it turn out a room file, every line so far is its prologue.
    std::uint64_t prologueHash = 0;
    bool onlyRows = true, empty = true;
    std::string_view line;
    while (lines.next(line)) {
      empty = false;
      if (!dataOnly && headerFunctionName(line)) {
        dropRowsFrom(firstRow);
        file.otherHash = prologueHash;
        readRecords(file, index, lines, true);
        return;
      }
      const DataLine kind = kinds.kindOf(line);
      if (kind == DataLine::Other) onlyRows = false;
      std::uint64_t hash = 0;
      if (w.reading_.hashes) {
        hash = hashBytes(line);
        prologueHash = prologueHash * 0x9E3779B97F4A7C15ull ^ hash;
        if (kind != DataLine::Row) file.otherHash = file.otherHash * 0x9E3779B97F4A7C15ull ^ hash;
      }
      if (kind != DataLine::Row || (!onlyRows && !dataOnly) || !keepRows) continue;
      std::uint8_t flags = 0, looks = 0;
      int region = 0;
      auto fields = writersRow(line);
      if (fields) {
        flags = World::kWritersRow;
      } else if (line.size() >= 2 && line.substr(line.size() - 2) == "\r\n") {
        // Saved with CR LF line ends: the same fields.
        lfText_.assign(line.substr(0, line.size() - 2));
        lfText_ += '\n';
        fields = writersRow(lfText_);
        if (fields) flags = World::kCrLfWritersRow;
      }
      if (fields) {
        region = fields->region;
        looks = static_cast<std::uint8_t>(fields->roomdark << 7 | fields->roomterrain);
      }
      const std::string_view function = rowFunctionName(line);
      if (w.reading_.names) {
        w.matching_.addRow(w.matching_.rowName(w.names_, function, w.rows()));
      } else if (w.reading_.keepName && w.reading_.keepName(function)) {
        keptRowNames_.add(static_cast<std::uint32_t>(w.rows()), function);
      }
      w.rowLines_.push_back(lineNumber(lines.lineNumber()));
      w.rowFlags_.push_back(flags);
      if (w.reading_.places) {
        w.rowOffsets_.push_back(file.base + static_cast<std::uint64_t>(lines.lastOffset()));
      }
      if (w.reading_.hashes) w.rowHashes_.push_back(static_cast<std::uint32_t>(hash));  // shortHash
      w.rowRegions_.push_back(region);
      w.rowLooks_.push_back(looks);
    }
    if (empty && !dataOnly) return;  // a room file without rooms
    if (!onlyRows && !dataOnly) {
      dropRowsFrom(firstRow);
      throw WorldFileError{file.name, "neither room records nor data rows"};
    }
    file.rooms = false;
    file.firstRow = firstRow;
    file.endRow = w.rows();
    w.rowFiles_.emplace_back(file.firstRow, static_cast<std::uint32_t>(index));
  }

  void dropRowsFrom(std::size_t row) {
    World& w = world_;
    if (w.reading_.names) w.matching_.dropRows(row);
    keptRowNames_.dropFrom(static_cast<std::uint32_t>(row));
    w.rowLines_.resize(row);
    w.rowFlags_.resize(row);
    if (w.reading_.places) w.rowOffsets_.truncate(row);
    if (w.reading_.hashes) w.rowHashes_.resize(row);
    w.rowRegions_.resize(row);
    w.rowLooks_.resize(row);
  }

  // A record's fields into `room`: touches nothing of the world, so that it
  // can run on another thread (with a `room` and `lf` of its own).
  ParsedRecord parseRecord(const RecordText& text, WorkingRoom& room, std::string& lf) const {
    ParsedRecord parsed;
    const WorldReading& reading = world_.reading_;
    if (!reading.fields && !reading.exits && !reading.visitor) {
      room.room = headerRoomNumber(text.text.substr(0, text.text.find('\n')));
      room.shortname = "-";  // not read
    } else if (!text.carriageReturn) {
      if (isWritersRecord(text.text, room)) {
        parsed.flags |= World::kWriters;
      } else if (!parseRoomRecord(text.text, room)) {
        parsed.outOfRange = readLoosely(text.text, room);
      }
    } else {
      // A record saved with CR LF line ends reads as the same fields, but is
      // not the writer's.
      const std::string_view withLf = withLfLineEnds(text.text, lf);
      if (isWritersRecord(withLf, room)) {
        parsed.flags |= World::kCrLfWriters;
      } else if (!parseRoomRecord(withLf, room)) {
        parsed.outOfRange = readLoosely(withLf, room);
      }
    }
    if (room.shortname.empty()) parsed.flags |= World::kNoShortName;
    return parsed;
  }

  // A record parsed, kept in the world in the order of the records.
  void keepRecord(const WorldFile& file, const RecordText& text, const WorkingRoom& room,
                  ParsedRecord parsed) {
    World& w = world_;
    for (int slot = 1; parsed.outOfRange != 0 && slot <= kExitCount; ++slot) {
      if ((parsed.outOfRange & (1u << slot)) == 0) continue;
      const std::string_view number = linksNumberText(
          text.carriageReturn ? withLfLineEnds(text.text, lfText_) : text.text, slot);
      w.outOfRange_.push_back({static_cast<std::uint32_t>(w.records()),
                               static_cast<std::uint8_t>(slot), std::string(number)});
    }
    const std::size_t record = w.records();
    w.recordLines_.push_back(lineNumber(text.line));
    w.recordFlags_.push_back(parsed.flags);
    if (w.reading_.places) {
      w.recordOffsets_.push_back(file.base + static_cast<std::uint64_t>(text.offset));
    }
    if (w.reading_.hashes) w.recordHashes_.push_back(shortHash(text.text));
    if (w.reading_.names) {
      w.matching_.addRecord(w.names_.intern(text.function));
    } else if (w.reading_.keepName && w.reading_.keepName(text.function)) {
      keptRecordNames_.add(static_cast<std::uint32_t>(record), text.function);
    }
    w.graph_.add(room.room, room.exitd);
    if (w.reading_.visitor) w.reading_.visitor(record, room, text);
  }

  void keepPrologue(WorldFile& file, const RecordText& text) {
    if (world_.reading_.hashes) {
      file.otherHash = file.otherHash * 0x9E3779B97F4A7C15ull ^ hashBytes(text.text);
    }
  }

  World& world_;
  KeptNames keptRecordNames_, keptRowNames_;
  std::uint64_t next_ = 0;  // the base of the next file
  // Scratch, kept from row to row so that reading does not allocate.
  std::string lfText_;
};

void World::read(const std::vector<std::string>& names, const WorldReading& reading) {
  WorldReader reader(*this, reading);
  files_.reserve(names.size());
  held_.reserve(names.size());
  for (const std::string& name : names)
    reader.read(name);
  reader.finish();
}

void World::readArea(InputFile& rooms, InputFile& data, const WorldReading& reading) {
  WorldReader reader(*this, reading);
  reader.read(rooms, ReadAs::Rooms);
  reader.read(data, ReadAs::Data);
  reader.finish();
}

}  // namespace rb
