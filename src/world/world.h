// A world: room files and data files read together, as the game server
// compiles them. Each file's kind comes from its content; every record of
// every room file is a room of one graph, so exits lead across files; rows
// are matched to records by function name across all files. What is kept is
// compact (about 130 bytes a room), so a world of millions of rooms fits.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "format/area_reader.h"
#include "format/room_model.h"
#include "world/area_graph.h"
#include "world/name_table.h"
#include "world/row_matching.h"

namespace rb {

struct WorldFile {
  std::string name;
  // A file that holds a record header line is a room file (so is an empty
  // file); one whose lines are data rows, blank lines, comments and
  // preprocessor lines is a data file.
  bool rooms = true;
  std::size_t firstRecord = 0, endRecord = 0;  // its records, for a room file
  std::size_t firstRow = 0, endRow = 0;        // its rows, for a data file
  long long crlfLine = 0;                      // its first line ending in CR LF, or 0
};

// A file of the world that cannot be read.
struct WorldFileError {
  std::string file;
  std::string reason;  // "No such file or directory", "too large to read", ...
};

// Called for each record as it is read, with its fields: every field when
// the record is the writer's own, otherwise what can still be read of it.
using RecordHook =
    std::function<void(std::size_t record, const WorkingRoom& room, const RecordText& text)>;

class World {
 public:
  // Record flags.
  static constexpr std::uint8_t kWriters = 1;      // the record is the room writer's own
  static constexpr std::uint8_t kNoShortName = 2;  // its short name is empty
  // Row flags.
  static constexpr std::uint8_t kWritersRow = 1;

  // What is kept of the files read: the rooms and their exits only (the
  // map, which leaves data files out), those and where each record's links
  // line stands in its file (link), or the names and rows as well (check).
  enum class Keep { Rooms, RoomsAndLinksLines, RoomsAndRows };

  // Reads the files in order. Throws WorldFileError.
  void read(const std::vector<std::string>& names, const RecordHook& hook = {},
            Keep keep = Keep::RoomsAndRows);

  const std::vector<WorldFile>& files() const { return files_; }
  const AreaGraph& graph() const { return graph_; }
  AreaGraph& graph() { return graph_; }
  const NameTable& names() const { return names_; }
  const RowMatching& matching() const { return matching_; }

  std::size_t records() const { return recordLines_.size(); }
  long long recordLine(std::size_t record) const { return recordLines_[record]; }
  std::uint8_t recordFlags(std::size_t record) const { return recordFlags_[record]; }
  const WorldFile& fileOfRecord(std::size_t record) const;
  // Where the links line of a record the writer wrote begins in its file,
  // in bytes (Keep::RoomsAndLinksLines only).
  long long linksLineOffset(std::size_t record) const { return linksLines_[record]; }

  std::size_t rows() const { return rowLines_.size(); }
  long long rowLine(std::size_t row) const { return rowLines_[row]; }
  std::uint8_t rowFlags(std::size_t row) const { return rowFlags_[row]; }
  const WorldFile& fileOfRow(std::size_t row) const;
  bool hasDataFile() const;

  // The first record with the same function name, and with the same room
  // number, before `record`; kNone for none.
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t earlierNamed(std::size_t record) const;
  std::size_t earlierNumbered(std::size_t record) const;
  // The first row with the same function name before `row`, or kNone.
  std::size_t earlierRow(std::size_t row) const;

 private:
  void readFile(WorldFile& file, int fd, const RecordHook& hook);
  void addRecord(const RecordText& text, const RecordHook& hook);
  void finish();

  bool rows_ = true;  // names and rows are kept
  bool keepLinksLines_ = false;
  std::vector<long long> linksLines_;
  std::vector<WorldFile> files_;
  NameTable names_;
  AreaGraph graph_;
  RowMatching matching_;
  std::vector<std::uint32_t> recordLines_;
  std::vector<std::uint8_t> recordFlags_;
  std::vector<std::uint32_t> rowLines_;
  std::vector<std::uint8_t> rowFlags_;
  // By name: its first record and its first row (+ 1; 0 for none).
  std::vector<std::uint32_t> firstRecordOfName_, firstRowOfName_;

  // Scratch, kept from record to record so that reading does not allocate.
  WorkingRoom room_;
  std::string lfText_;
};

}  // namespace rb
