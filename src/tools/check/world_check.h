// `roombuilder check`: what is wrong with a world (or one area), one
// diagnostic a line in the form compilers and editors understand
// (FILE:LINE: error: TEXT, FILE:LINE: warning: TEXT [-WKIND]), then a
// summary line.
//
// Errors: a function name or a room number that an earlier record already
// has (the game server fails to compile, or its room table holds two rooms
// of one number), an exit to a room number no record has; with a data file,
// a room without a row, a row naming no room, a second row for one function
// name. Warnings: one-way exits, rooms not reachable from the start room,
// rooms without a short name, records and rows the room writer would not
// have written, CR LF line ends, and the notes on texts found while reading.
//
// Diagnostics go file by file in the order the files were named, a room
// file's record by record, a data file's row by row.
#pragma once

#include <string>
#include <vector>

#include "files/output_stream.h"
#include "tools/check/check_options.h"
#include "tools/check/check_rules.h"
#include "world/world.h"

namespace rb {

// A warning about one of a record's texts, found while the record was read.
struct TextNote {
  std::size_t record;
  long long line;  // the line of the record that holds the text
  WarningKind kind;
  std::string text;  // after "room N: "
};

struct CheckCounts {
  int errors = 0;
  int warnings = 0;
  int baselined = 0;  // known to the baseline: neither printed nor counted
};

// One diagnostic: where it is, its kind, and its text (after "error: " or
// "warning: ", without the " [-WKIND]" of the text form).
struct Diagnostic {
  const std::string& file;  // as it was named
  long long line;
  std::size_t rule;  // its place in checkRules()
  std::string_view text;
};

// Where the diagnostics go as they are found (those the baseline knows
// never come here): printed as text, or written as JSON.
class DiagnosticSink {
 public:
  virtual ~DiagnosticSink() = default;
  virtual void report(const Diagnostic& diagnostic) = 0;
  // After the last one: what the whole check counted.
  virtual void finish(const std::string& summary) = 0;
};

// The text form: FILE:LINE: error: TEXT, FILE:LINE: warning: TEXT [-WKIND],
// then the summary line.
class TextDiagnostics : public DiagnosticSink {
 public:
  explicit TextDiagnostics(OutputStream& out) : out_(out) {}
  void report(const Diagnostic& diagnostic) override;
  void finish(const std::string& summary) override;

 private:
  OutputStream& out_;
};

// Checks the world, the diagnostics going to `sink`, then the summary
// ("3 rooms, 4 exits: 0 errors, 1 warning.\n"). `start` is the room (index)
// reachability is counted from, or World::kNone when there is none.
CheckCounts checkWorld(const World& world, const CheckOptions& options,
                       const std::vector<TextNote>& notes, std::size_t start, DiagnosticSink& sink);
// The same, in the text form on `out`.
CheckCounts checkWorld(const World& world, const CheckOptions& options,
                       const std::vector<TextNote>& notes, std::size_t start, OutputStream& out);

// A diagnostic as its text form says it after "FILE:LINE: ", which is what
// a baseline holds: "error: TEXT" or "warning: TEXT [-WKIND]".
std::string diagnosticText(std::size_t rule, std::string_view text);

// A name from a file or the command line as a diagnostic quotes it: its
// control bytes written as \xHH.
std::string visible(std::string_view text);

// A text of a file as a diagnostic quotes it: at most its first 80
// characters, then "..." when there was more.
std::string shortened(std::string_view text);

// A warning's text after "FILE:LINE: ", as check prints it and a baseline
// holds it: "warning: TEXT [-WKIND]".
std::string warningText(WarningKind kind, std::string_view text);

// What check says of a one-way exit: room `room`'s exit in `slot` to room
// `destination`, which has no exit back.
std::string oneWayExit(int room, int slot, int destination);

}  // namespace rb
