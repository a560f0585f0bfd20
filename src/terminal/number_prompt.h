// The answer to a number prompt: the number read with the formatted-reader
// rules, then the rest of its line taken away into the scratch line.
#pragma once

#include "terminal/console.h"
#include "terminal/line_sizes.h"

namespace rb {

inline void readNumberLine(Console& con, int& value) {
  con.readInt(value);
  con.readLine(kScratchSize);
}

inline void readNumberLine(Console& con, float& value) {
  con.readFloat(value);
  con.readLine(kScratchSize);
}

}  // namespace rb
