// A world: room files and data files read together, as the game server
// compiles them. Each file's kind comes from its content; every record of
// every room file is a room of one graph, so exits lead across files; rows
// are matched to records by function name across all files.
//
// What is kept is compact, so that a world of millions of rooms fits: for
// each file its name, what it was when read and its line ends; for each
// record where it lies (file, byte offset, length), its header line, room
// number, exits and flags; for each row the same and its region number,
// darkness and terrain; the names, and the indexes of numbers and names.
// Texts are not kept: room(i) reads a record again from its bytes, so any
// room of a world of any size can be shown or changed.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "files/input_file.h"
#include "format/area_reader.h"
#include "format/record_batch.h"
#include "format/room_model.h"
#include "world/area_graph.h"
#include "world/name_table.h"
#include "world/offset_list.h"
#include "world/row_matching.h"

namespace rb {

enum class FileKind : std::uint8_t { Rooms, Data };
// How a file's lines end: every line LF, every line CR LF, or both kinds.
enum class LineEnds : std::uint8_t { Lf, CrLf, Mixed };

struct WorldFile {
  std::string name;  // as it was named
  FileState state;   // what it was when read; its size is the bytes read
  // A file that holds a record header line is a room file (so is an empty
  // file); one whose lines are data rows, blank lines, comments and
  // preprocessor lines is a data file.
  bool rooms = true;
  std::size_t firstRecord = 0, endRecord = 0;  // its records, for a room file
  std::size_t firstRow = 0, endRow = 0;        // its rows, for a data file
  long long crlfLine = 0;                      // its first line ending in CR LF, or 0
  long long lines = 0;                         // how many lines it has
  LineEnds lineEnds = LineEnds::Lf;
  std::uint64_t base = 0;  // the bytes of the files read before it
  // A hash of its text outside records and rows (a room file's prologue, a
  // data file's comments and other lines), when hashes are kept.
  std::uint64_t otherHash = 0;
};

// A file of the world that cannot be read.
struct WorldFileError {
  std::string file;
  std::string reason;  // "No such file or directory", "too large to read", ...
};

// Called for each record as it is read, with its fields: every field when
// the record is the writer's own, otherwise what can still be read of it.
using RoomVisitor =
    std::function<void(std::size_t record, const WorkingRoom& room, const RecordText& text)>;

// What a command needs kept beyond the rooms, their places and exits.
struct WorldReading {
  // Function names, rows and the matching of rows to records (check, the
  // transfer, every command that changes names or rows).
  bool names = true;
  // The rows (their places, flags and fields) without the names: kept
  // anyway when names are.
  bool rows = false;
  // With names not kept, the function names of the records and rows that
  // `keepName` takes are kept all the same (the few rooms of a change).
  std::function<bool(std::string_view function)> keepName;
  // The exits of the rooms, and where each record and row lies in its file
  // (all but the transfer, which copies its two files as it reads them
  // again; without places, no room or row can be read again or changed).
  bool exits = true;
  bool places = true;
  // A hash of every record's and row's bytes, so that a change can tell
  // that the bytes it replaces are still the ones read.
  bool hashes = false;
  // Each record read field by field: its flags, short name and exits.
  // Without it (and without exits or a visitor), a record is only where it
  // lies and the number of its header line: all a command needs that reads
  // the records again itself (export).
  bool fields = true;
  // The files are held open, locked for the whole run: exclusively when
  // they are to be changed, shared otherwise; none when not held.
  InputFile::Lock hold = InputFile::Lock::None;
  RoomVisitor visitor;
  // Room files from this size on have their records parsed on a second
  // thread, a batch at a time, beside the reading (the visitor still sees
  // them in order, on the caller's thread).
  long long parseBesideFrom = kParseBesideFrom;
};

class World {
 public:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  // Record flags.
  static constexpr std::uint8_t kWriters = 1;      // the record is the room writer's own
  static constexpr std::uint8_t kNoShortName = 2;  // its short name is empty
  static constexpr std::uint8_t kCrLfWriters = 4;  // the writer's own but for CR LF line ends
  // Row flags.
  static constexpr std::uint8_t kWritersRow = 1;
  static constexpr std::uint8_t kCrLfWritersRow = 2;  // the writer's own but for CR LF

  // Reads the files in order, each's kind from its content. A file named
  // twice (by one name or two) is read once. Throws WorldFileError.
  void read(const std::vector<std::string>& names, const WorldReading& reading = {});
  // Reads a transfer's pair: a room file and a data file, whatever they
  // hold, through files already open (read from their starts).
  void readArea(InputFile& rooms, InputFile& data, const WorldReading& reading = {});

  const std::vector<WorldFile>& files() const { return files_; }
  const AreaGraph& graph() const { return graph_; }
  const NameTable& names() const { return names_; }
  // The table, to number more names in (a transfer's new names): the
  // numbers it has given stay.
  NameTable& names() { return names_; }
  // With names not kept, the records whose names WorldReading::keepName
  // took, each with its row (the k-th record of a name with the k-th row of
  // it), as pairs (record, row) in the order of the records: a record
  // without a row is not among them.
  const std::vector<std::pair<std::uint32_t, std::uint32_t>>& keptRows() const { return keptRows_; }
  const RowMatching& matching() const { return matching_; }
  bool keepsNames() const { return reading_.names; }
  bool keepsHashes() const { return reading_.hashes; }
  bool keepsExits() const { return reading_.exits; }

  std::size_t records() const { return recordLines_.size(); }
  long long recordLine(std::size_t record) const { return recordLines_[record]; }
  std::uint8_t recordFlags(std::size_t record) const { return recordFlags_[record]; }
  bool isWriters(std::size_t record) const { return (recordFlags_[record] & kWriters) != 0; }
  // The slots of a record's links line whose numbers lie beyond int (bits
  // 1 << slot): no room numbers, so those exits are none; and the text of
  // such a number.
  std::uint16_t outOfRangeExits(std::size_t record) const;
  std::string_view outOfRangeNumber(std::size_t record, int slot) const;
  // Where the record begins in its file, and its length in bytes.
  long long recordOffset(std::size_t record) const;
  long long recordLength(std::size_t record) const;
  // How many lines the record takes (its header line to the line before the
  // next record's, or the file's last).
  long long recordLineCount(std::size_t record) const;
  std::uint32_t recordHash(std::size_t record) const { return recordHashes_[record]; }
  std::size_t fileIndexOfRecord(std::size_t record) const;
  const WorldFile& fileOfRecord(std::size_t record) const {
    return files_[fileIndexOfRecord(record)];
  }
  // The function name of a record (names kept).
  std::string_view recordName(std::size_t record) const {
    return names_.name(matching_.recordName(record));
  }

  std::size_t rows() const { return rowLines_.size(); }
  long long rowLine(std::size_t row) const { return rowLines_[row]; }
  std::uint8_t rowFlags(std::size_t row) const { return rowFlags_[row]; }
  long long rowOffset(std::size_t row) const;
  std::uint32_t rowHash(std::size_t row) const { return rowHashes_[row]; }
  int rowRegion(std::size_t row) const { return rowRegions_[row]; }
  int rowDark(std::size_t row) const { return rowLooks_[row] >> 7; }
  int rowTerrain(std::size_t row) const { return rowLooks_[row] & 0x7f; }
  std::size_t fileIndexOfRow(std::size_t row) const;
  const WorldFile& fileOfRow(std::size_t row) const { return files_[fileIndexOfRow(row)]; }
  bool hasDataFile() const;
  // The row matched to a record, or kNone.
  std::size_t rowOf(std::size_t record) const;

  // The first record with the same function name, and with the same room
  // number, before `record`; kNone for none.
  std::size_t earlierNamed(std::size_t record) const;
  std::size_t earlierNumbered(std::size_t record) const;
  // The first row with the same function name before `row`, or kNone.
  std::size_t earlierRow(std::size_t row) const;
  // The first record with `number`, or kNone.
  std::size_t findNumber(int number) const { return graph_.find(number); }

  // The bytes of a record or a row as they are in the file now. Throws
  // WorldFileError when the file cannot be read or is no longer the one
  // read.
  std::string recordText(std::size_t record) const;
  std::string rowText(std::size_t row) const;
  // Every field of a room, read again from its record (and its row's
  // darkness and terrain, when it has one): the writer's fields when the
  // record is its own (CR LF line ends allowed), otherwise what can still be
  // read of it. Throws WorldFileError as recordText does.
  WorkingRoom room(std::size_t record) const;
  // The region number of the room's row, or 0.
  int roomRegion(std::size_t record) const;

  // The file held open for the whole run, when the reading held it.
  const InputFile* heldFile(std::size_t file) const {
    return file < held_.size() ? &held_[file] : nullptr;
  }

 private:
  friend class WorldReader;
  friend class SequentialText;

  // The bytes [offset, offset + length) of a file, from the file as it is
  // now; a length of -1 reads one line.
  std::string bytesAt(std::size_t file, long long offset, long long length) const;
  // As bytesAt, into `bytes` (whose room is kept).
  void bytesInto(std::size_t file, long long offset, long long length, std::string& bytes) const;

  WorldReading reading_;
  std::vector<WorldFile> files_;
  std::vector<InputFile> held_;  // by file; closed when not held
  NameTable names_;
  AreaGraph graph_;
  RowMatching matching_;
  std::vector<std::uint32_t> recordLines_;
  std::vector<std::uint8_t> recordFlags_;
  struct OutOfRange {
    std::uint32_t record;
    std::uint8_t slot;
    std::string number;
  };
  std::vector<OutOfRange> outOfRange_;  // by record and slot; rare
  std::vector<std::pair<std::uint32_t, std::uint32_t>> keptRows_;
  OffsetList recordOffsets_;  // counted through the files, one after another
  std::vector<std::uint32_t> recordHashes_;
  std::vector<std::uint32_t> rowLines_;
  std::vector<std::uint8_t> rowFlags_;
  OffsetList rowOffsets_;
  std::vector<std::uint32_t> rowHashes_;
  std::vector<int> rowRegions_;
  std::vector<std::uint8_t> rowLooks_;  // darkness << 7 | terrain, of the writer's rows
  // By name: its first record and its first row (+ 1; 0 for none); made
  // when first asked for.
  void indexNames() const;
  mutable bool namesIndexed_ = false;
  mutable std::vector<std::uint32_t> firstRecordOfName_, firstRowOfName_;
  // The first record of each room file and the first row of each data file,
  // with the file's index, for finding a record's or a row's file.
  std::vector<std::pair<std::size_t, std::uint32_t>> recordFiles_, rowFiles_;
};

// Records and rows of a world read one after another in file order, as a
// copy of many rooms reads them: through a block of the file read at once,
// so that many of them cost a pass over the file rather than a read each.
// Throws WorldFileError as World::recordText does.
class SequentialText {
 public:
  explicit SequentialText(const World& world) : world_(world) {}
  // The bytes, valid until the next call.
  std::string_view record(std::size_t record);
  std::string_view row(std::size_t row);

 private:
  // `length` bytes at `offset` of `file`; -1: the line there.
  std::string_view at(std::size_t file, long long offset, long long length);

  const World& world_;
  std::size_t file_ = World::kNone;
  long long start_ = 0;
  std::string block_, single_;
};

}  // namespace rb
