// Every kind of diagnostic `check` gives, as a catalogue: its stable id
// (a warning's is its -W name, an error's one of its own), whether it is an
// error, and what it means, for the formats that list rules (SARIF) and for
// the manual.
#pragma once

#include <array>
#include <string_view>

#include "tools/check/check_options.h"

namespace rb {

enum class ErrorKind {
  FunctionTwice,   // a function name an earlier record has
  NumberTwice,     // a room number an earlier record has
  MissingRoom,     // an exit to a room number no record has
  NotARoomNumber,  // an exit whose number lies beyond int
  NoRow,           // a room without a row in the data file
  SecondRow,       // a second row for one function name
  RowWithoutRoom,  // a row naming no room
};
inline constexpr std::size_t kErrorKinds = 7;

struct CheckRule {
  std::string_view id;
  bool error;
  std::string_view shortDescription;
  std::string_view fullDescription;
  std::string_view help;
};

// The errors' rules, then the warnings', each in the order of its kinds.
inline constexpr std::size_t kCheckRules = kErrorKinds + kWarningKinds;
const std::array<CheckRule, kCheckRules>& checkRules();

// A kind's place in checkRules().
inline std::size_t ruleIndex(ErrorKind kind) {
  return static_cast<std::size_t>(kind);
}
inline std::size_t ruleIndex(WarningKind kind) {
  return kErrorKinds + static_cast<std::size_t>(kind);
}

}  // namespace rb
