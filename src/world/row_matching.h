// Rows matched to records by function name, as the game server pairs them:
// the k-th record with a name gets the k-th row with it, records and rows
// each counted in the order they were read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "world/name_table.h"

namespace rb {

class RowMatching {
 public:
  static constexpr std::int32_t kNone = -1;

  // The next record or row, by the number of its function name.
  void addRecord(NameTable::Id name) { recordNames_.push_back(name); }
  void addRow(NameTable::Id name) { rowNames_.push_back(name); }
  // Drops the rows from `count` on (rows of a file that turned out to be a
  // room file).
  void dropRows(std::size_t count) { rowNames_.resize(count); }

  // The number of the function name of the row that will be row `row`: a
  // data file mostly lists its rooms in the order of their records, so the
  // name of the record at the same place is tried first, which spares the
  // table a look-up.
  NameTable::Id rowName(NameTable& names, std::string_view function, std::size_t row) const {
    if (row < recordNames_.size() && names.name(recordNames_[row]) == function) {
      return recordNames_[row];
    }
    return names.intern(function);
  }
  // Matches them; `names` is the number of names there are.
  void finish(std::size_t names);

  std::int32_t rowOf(std::size_t record) const { return rowOf_[record]; }
  std::int32_t recordOf(std::size_t row) const { return recordOf_[row]; }
  std::size_t records() const { return recordNames_.size(); }
  std::size_t rows() const { return rowNames_.size(); }
  NameTable::Id recordName(std::size_t record) const { return recordNames_[record]; }
  NameTable::Id rowName(std::size_t row) const { return rowNames_[row]; }

 private:
  std::vector<NameTable::Id> recordNames_, rowNames_;
  std::vector<std::int32_t> rowOf_, recordOf_;
};

}  // namespace rb
