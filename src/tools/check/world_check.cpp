#include "tools/check/world_check.h"

#include "base/text_append.h"
#include "base/utf8.h"
#include "base/visible_text.h"
#include "format/exit_slot.h"
#include "format/function_name.h"
#include "format/loose_record.h"

namespace rb {

namespace {

// The diagnostics of a check: left out when their kind is off or the
// baseline knows them, counted, and sent on.
class Diagnostics {
 public:
  Diagnostics(const CheckOptions& options, DiagnosticSink& sink) : options_(options), sink_(sink) {}

  template <class... Args>
  void error(ErrorKind kind, const std::string& file, long long line, const Args&... text) {
    if (tell(ruleIndex(kind), file, line, text...)) ++counts_.errors;
  }
  template <class... Args>
  void warning(WarningKind kind, const std::string& file, long long line, const Args&... text) {
    if (!options_.on(kind)) return;
    if (tell(ruleIndex(kind), file, line, text...)) ++counts_.warnings;
  }
  const CheckCounts& counts() const { return counts_; }

 private:
  // Sends the diagnostic on unless the baseline knows it; false then.
  template <class... Args>
  bool tell(std::size_t rule, const std::string& file, long long line, const Args&... text) {
    text_.clear();
    appendText(text_, text...);
    if (options_.baseline && options_.baseline->take(diagnosticText(rule, text_))) {
      ++counts_.baselined;
      return false;
    }
    sink_.report(Diagnostic{file, line, rule, text_});
    return true;
  }

  const CheckOptions& options_;
  DiagnosticSink& sink_;
  CheckCounts counts_;
  std::string text_;
};

// Where an earlier record or row is: "line 12" in the same file, or
// "FILE:12" in another.
std::string placeOf(const WorldFile& here, const WorldFile& there, long long line) {
  std::string place;
  if (&here == &there) {
    appendText(place, "line ", line);
  } else {
    appendText(place, visible(there.name), ":", line);
  }
  return place;
}

void checkRecords(const World& world, const WorldFile& file, const std::vector<TextNote>& notes,
                  std::size_t& nextNote, const std::vector<bool>& reached, std::size_t start,
                  Diagnostics& out) {
  const AreaGraph& graph = world.graph();
  for (std::size_t record = file.firstRecord; record < file.endRecord; ++record) {
    const int number = graph.number(record);
    const long long line = world.recordLine(record);
    const std::string& name = file.name;
    if (const std::size_t earlier = world.earlierNamed(record); earlier != World::kNone) {
      out.error(ErrorKind::FunctionTwice, name, line, "room ", number, ": the function name ",
                visible(world.names().name(world.matching().recordName(record))),
                " is already used at ",
                placeOf(file, world.fileOfRecord(earlier), world.recordLine(earlier)));
    } else if (const std::size_t other = world.earlierNumbered(record); other != World::kNone) {
      out.error(ErrorKind::NumberTwice, name, line, "room ", number,
                ": the room number is already used at ",
                placeOf(file, world.fileOfRecord(other), world.recordLine(other)));
    }
    const std::uint16_t outOfRange = world.outOfRangeExits(record);
    for (const int slot : kShownOrder) {
      const int destination = graph.exit(record, slot);
      if (graph.isMissing(destination)) {
        out.error(ErrorKind::MissingRoom, name, line, "room ", number, ": the ",
                  exitSlot(slot).word, " exit leads to room ", destination,
                  ", which no record has");
      }
      if ((outOfRange & (1u << slot)) != 0) {
        out.error(ErrorKind::NotARoomNumber, name, line, "room ", number, ": the ",
                  exitSlot(slot).word, " exit ",
                  visible(shortened(world.outOfRangeNumber(record, slot))),
                  " is not a room number");
      }
    }
    if (world.hasDataFile() && world.matching().rowOf(record) == RowMatching::kNone) {
      out.error(ErrorKind::NoRow, name, line, "room ", number, " has no row in the data file");
    }
    for (const int slot : kShownOrder) {
      if (!graph.isOneWay(record, slot)) continue;
      out.warning(WarningKind::OneWay, name, line,
                  oneWayExit(number, slot, graph.exit(record, slot)));
    }
    if (number == kNoExit) {
      // Said once, whatever the start: no exit can lead to this room.
      out.warning(WarningKind::Unreachable, name, line, "room ", number,
                  " can be reached by no exit (an exit of -1 is no exit)");
    } else if (!reached.empty() && !reached[record]) {
      out.warning(WarningKind::Unreachable, name, line, "room ", number,
                  " cannot be reached from room ", graph.number(start));
    }
    const std::uint8_t flags = world.recordFlags(record);
    if ((flags & World::kNoShortName) != 0) {
      out.warning(WarningKind::ShortName, name, line, "room ", number, " has no short name");
    }
    // A record that differs only in its CR LF line ends is the file's crlf
    // warning, said once for the file.
    if ((flags & (World::kWriters | World::kCrLfWriters)) == 0) {
      out.warning(WarningKind::NotWriter, name, line, "room ", number,
                  ": the record is not as the room writer writes it (key 3 copies it unchanged)");
    }
    std::string_view region, digits;
    const std::string_view function = world.recordName(record);
    if (splitFunctionName(function, region, digits) && region.empty()) {
      out.warning(WarningKind::Region, name, line, "room ", number, ": the function name ",
                  visible(function), " has no region name");
    }
    for (; nextNote < notes.size() && notes[nextNote].record == record; ++nextNote) {
      const TextNote& note = notes[nextNote];
      out.warning(note.kind, name, note.line, "room ", number, ": ", note.text);
    }
  }
}

void checkRows(const World& world, const WorldFile& file, std::size_t roomFiles, Diagnostics& out) {
  for (std::size_t row = file.firstRow; row < file.endRow; ++row) {
    const long long line = world.rowLine(row);
    const std::string function = visible(world.names().name(world.matching().rowName(row)));
    // The k-th record of a name has the k-th row of it: only a row left
    // over is an error, a second one when an earlier row has its name.
    if (world.matching().recordOf(row) == RowMatching::kNone) {
      if (const std::size_t earlier = world.earlierRow(row); earlier != World::kNone) {
        out.error(ErrorKind::SecondRow, file.name, line, "a second row for ", function,
                  " (the first is at ",
                  placeOf(file, world.fileOfRow(earlier), world.rowLine(earlier)), ")");
      } else {
        out.error(ErrorKind::RowWithoutRoom, file.name, line, "the row for ", function,
                  " names no room of the room file", roomFiles == 1 ? "" : "s");
      }
    }
    if ((world.rowFlags(row) & (World::kWritersRow | World::kCrLfWritersRow)) == 0) {
      out.warning(WarningKind::NotWriter, file.name, line, "the row for ", function,
                  " is not as the room writer writes it");
    }
  }
}

}  // namespace

std::string visible(std::string_view text) {
  std::string shown;
  appendHexEscaped(shown, text);
  return shown;
}

std::string shortened(std::string_view text) {
  constexpr int kQuoted = 80;  // characters
  std::size_t end = 0;
  for (int count = 0; count < kQuoted && end < text.size(); ++count)
    end += characterLength(text, end);
  if (end >= text.size()) return std::string(text);
  return std::string(text.substr(0, end)) + "...";
}

std::string warningText(WarningKind kind, std::string_view text) {
  std::string said;
  appendText(said, "warning: ", text, " [-W", warningName(kind), "]");
  return said;
}

std::string oneWayExit(int room, int slot, int destination) {
  std::string said;
  appendText(said, "room ", room, ": the ", exitSlot(slot).word, " exit to room ", destination,
             " is one-way (room ", destination, " has no ", exitSlot(exitSlot(slot).opposite).word,
             " exit back)");
  return said;
}

void TextDiagnostics::report(const Diagnostic& diagnostic) {
  out_.print(visible(diagnostic.file), ":", diagnostic.line, ": ",
             diagnosticText(diagnostic.rule, diagnostic.text), "\n");
}

void TextDiagnostics::finish(const std::string& summary) {
  out_.print(summary);
}

std::string diagnosticText(std::size_t rule, std::string_view text) {
  if (rule < kErrorKinds) return "error: " + std::string(text);
  return warningText(static_cast<WarningKind>(rule - kErrorKinds), text);
}

CheckCounts checkWorld(const World& world, const CheckOptions& options,
                       const std::vector<TextNote>& notes, std::size_t start,
                       DiagnosticSink& sink) {
  Diagnostics diagnostics(options, sink);
  const std::vector<bool> reached = start == World::kNone || !options.on(WarningKind::Unreachable)
                                        ? std::vector<bool>()
                                        : world.graph().reachedFrom(start);
  std::size_t roomFiles = 0;
  for (const WorldFile& file : world.files())
    roomFiles += file.rooms ? 1 : 0;
  std::size_t nextNote = 0;
  for (const WorldFile& file : world.files()) {
    if (file.crlfLine > 0) {
      diagnostics.warning(WarningKind::Crlf, file.name, file.crlfLine, "line ends are CR LF");
    }
    if (file.rooms) {
      checkRecords(world, file, notes, nextNote, reached, start, diagnostics);
    } else {
      checkRows(world, file, roomFiles, diagnostics);
    }
  }
  const CheckCounts& counts = diagnostics.counts();
  std::string summary;
  appendText(summary, counted(static_cast<long long>(world.records()), "room"), ", ",
             counted(world.graph().exitCount(), "exit"), ": ", counted(counts.errors, "error"),
             ", ", counted(counts.warnings, "warning"));
  if (options.baseline) appendText(summary, ", ", counts.baselined, " in the baseline");
  summary += ".\n";
  sink.finish(summary);
  return counts;
}

CheckCounts checkWorld(const World& world, const CheckOptions& options,
                       const std::vector<TextNote>& notes, std::size_t start, OutputStream& out) {
  TextDiagnostics text(out);
  return checkWorld(world, options, notes, start, text);
}

}  // namespace rb
