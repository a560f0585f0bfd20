#include "insight/area_check.h"

#include <unordered_map>

#include "builder/exit_slot.h"
#include "insight/area_graph.h"
#include "shell/text_append.h"
#include "shell/visible_text.h"
#include "transfer/area_files.h"

namespace rb {

namespace {

std::string visible(std::string_view text);

class Diagnostics {
 public:
  template <class... Args>
  void error(const std::string& file, int line, const Args&... text) {
    add(file, line, "error", text...);
    ++report_.errors;
  }
  template <class... Args>
  void warning(const std::string& file, int line, const Args&... text) {
    add(file, line, "warning", text...);
    ++report_.warnings;
  }
  CheckReport& report() { return report_; }

 private:
  template <class... Args>
  void add(const std::string& file, int line, const char* kind, const Args&... text) {
    appendText(report_.text, visible(file), ":", line, ": ", kind, ": ", text..., "\n");
  }
  CheckReport report_;
};

// A name from a file or the command line as a diagnostic quotes it.
std::string visible(std::string_view text) {
  std::string shown;
  appendHexEscaped(shown, text);
  return shown;
}

// "1 room" and "2 rooms".
std::string counted(std::size_t count, const char* noun) {
  std::string text;
  appendText(text, count, " ", noun, count == 1 ? "" : "s");
  return text;
}

bool blank(std::string_view line) {
  return line.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

}  // namespace

CheckReport checkArea(const std::string& roomName, std::string_view roomText,
                      const std::string& dataName, std::string_view dataText) {
  const bool withData = !dataName.empty();
  const AreaFiles files = readAreaFiles(roomText, withData ? dataText : std::string_view());
  std::vector<GraphRoom> rooms;
  for (const RoomRecord& record : files.records)
    rooms.push_back(graphRoom(record.room));
  const AreaGraph graph(std::move(rooms));

  // The cases of each record, gathered before they are told record by record.
  std::vector<std::vector<ExitCase>> missing(files.records.size()), oneWay(files.records.size());
  for (const ExitCase& c : graph.missingExits())
    missing[c.room].push_back(c);
  for (const ExitCase& c : graph.oneWayExits())
    oneWay[c.room].push_back(c);
  std::vector<bool> unreachable(files.records.size(), false);
  if (!files.records.empty()) {
    for (const std::size_t i : graph.unreachableFrom(0))
      unreachable[i] = true;
  }

  Diagnostics out;
  std::unordered_map<std::string_view, int> firstLine;
  for (std::size_t i = 0; i < files.records.size(); ++i) {
    const RoomRecord& record = files.records[i];
    const int number = record.room.room;
    const int line = record.line;
    const auto [first, isNew] = firstLine.emplace(record.function, line);
    if (!isNew) {
      out.error(roomName, line, "room ", number, ": the function name ", visible(record.function),
                " is already used at line ", first->second);
    }
    for (const ExitCase& c : missing[i]) {
      out.error(roomName, line, "room ", number, ": the ", exitSlot(c.slot).word,
                " exit leads to room ", c.destination, ", which no record has");
    }
    if (withData && record.row < 0) {
      out.error(roomName, line, "room ", number, " has no row in the data file");
    }
    for (const ExitCase& c : oneWay[i]) {
      const ExitSlot& back = exitSlot(exitSlot(c.slot).opposite);
      out.warning(roomName, line, "room ", number, ": the ", exitSlot(c.slot).word,
                  " exit to room ", c.destination, " is one-way (room ", c.destination, " has no ",
                  back.word, " exit back)");
    }
    if (unreachable[i]) {
      out.warning(roomName, line, "room ", number, " cannot be reached from room ",
                  graph.rooms().front().number);
    }
    if (record.room.shortname.empty())
      out.warning(roomName, line, "room ", number, " has no short name");
    if (!writersRecord(record.text)) {
      out.warning(roomName, line, "room ", number,
                  ": the record is not as the room writer writes it (key 3 copies it unchanged)");
    }
  }
  std::unordered_map<std::string_view, int> firstRow;
  for (const DataRow& row : files.rows) {
    if (blank(row.text)) continue;
    const auto [first, isNew] = firstRow.emplace(row.function, row.line);
    if (!isNew) {
      out.error(dataName, row.line, "a second row for ", visible(row.function),
                " (the first is at line ", first->second, ")");
    } else if (row.record < 0) {
      out.error(dataName, row.line, "the row for ", visible(row.function),
                " names no room of the room file");
    }
    if (!writersRow(row.text)) {
      out.warning(dataName, row.line, "the row for ", visible(row.function),
                  " is not as the room writer writes it");
    }
  }
  CheckReport& report = out.report();
  appendText(report.text, counted(files.records.size(), "room"), ", ",
             counted(static_cast<std::size_t>(graph.exitCount()), "exit"), ": ",
             counted(static_cast<std::size_t>(report.errors), "error"), ", ",
             counted(static_cast<std::size_t>(report.warnings), "warning"), ".\n");
  return report;
}

}  // namespace rb
