// The first pass of a transfer: the room file and the data file read once,
// keeping for each record only what the transfer needs to know before it
// copies anything (its line, its room number, whether it can be edited, and
// the region, light and terrain its row gives it), and for each row the
// record it belongs to. A few dozen bytes a room, whatever the files hold.
//
// A record can be edited when it and the row matched to it are exactly what
// the room writer writes for the fields read from them, and those fields fit
// the room menu.
#pragma once

#include <cstdint>
#include <vector>

#include "world/name_table.h"
#include "world/row_matching.h"

namespace rb {

struct TransferSurvey {
  NameTable names;
  RowMatching matching;                // rows: the data file's lines that are rows, in order
  std::vector<std::uint32_t> lines;    // by record: its header line
  std::vector<int> numbers;            // by record: its room number
  std::vector<std::uint8_t> editable;  // by record
  std::vector<int> regions;            // by record: the region number of its row
  std::vector<std::uint8_t> light;     // by record: roomdark of its row
  std::vector<std::uint8_t> terrain;   // by record: roomterrain of its row

  std::size_t records() const { return lines.size(); }
};

// Reads both files from where they stand (their starts). Throws
// AreaReadError when either cannot be read.
TransferSurvey surveyArea(int roomFd, int dataFd);

}  // namespace rb
