#include "command_line/command_line.h"

#include <cstring>
#include <new>

#include "insight/area_check.h"
#include "insight/area_graph.h"
#include "insight/svg_map.h"
#include "shell/version.h"
#include "shell/visible_text.h"
#include "transfer/area_files.h"
#include "transfer/source_file.h"

namespace rb {

namespace {

const char* const kUsage =
    "Usage: roombuilder\n"
    "       roombuilder check ROOMFILE [DATAFILE]\n"
    "       roombuilder map ROOMFILE > MAP.svg\n"
    "       roombuilder --help | --version\n"
    "\n"
    "Without arguments, the interactive room builder starts: it creates rooms,\n"
    "appends them, edits them during a file transfer and explores room files.\n"
    "\n"
    "  check  lists what is wrong with an area, a line each, as\n"
    "         FILE:LINE: error: TEXT or FILE:LINE: warning: TEXT, then a summary.\n"
    "         Errors: a function name used twice, an exit to a room no record\n"
    "         has; with DATAFILE, a room without a row, a row naming no room,\n"
    "         a second row for one room. Warnings: one-way exits, rooms not\n"
    "         reachable from the first room, rooms without a short name,\n"
    "         records and rows the room writer would not have written.\n"
    "         Exit status 0 without errors, 1 with errors, 2 on a file that\n"
    "         cannot be read.\n"
    "  map    writes a picture of the area as SVG to standard output.\n";

CommandResult usageError() {
  return {"", kUsage, 2};
}

// The file named `name`, or the message of why it cannot be read.
bool readNamed(const std::string& name, SourceFile& file, CommandResult& result) {
  const ReadStatus status = readSourceFile(name, file, false);
  if (status == ReadStatus::Read) return true;
  std::string shown;
  appendHexEscaped(shown, name);
  const std::string reason =
      status == ReadStatus::TooLarge ? "too large to read" : std::strerror(file.error);
  result = {"", "roombuilder: " + shown + ": " + reason + "\n", 2};
  return false;
}

CommandResult check(const std::vector<std::string>& args) {
  CommandResult result;
  SourceFile rooms, data;
  const bool withData = args.size() == 3;
  if (!readNamed(args[1], rooms, result) || (withData && !readNamed(args[2], data, result))) {
    return result;
  }
  const CheckReport report =
      checkArea(args[1], rooms.text, withData ? args[2] : std::string(), data.text);
  result.out = report.text;
  result.status = report.errors > 0 ? 1 : 0;
  return result;
}

CommandResult map(const std::vector<std::string>& args) {
  CommandResult result;
  SourceFile rooms;
  if (!readNamed(args[1], rooms, result)) return result;
  const AreaFiles files = readAreaFiles(rooms.text, "");
  std::vector<GraphRoom> graphRooms;
  std::vector<std::string> names;
  for (const RoomRecord& record : files.records) {
    graphRooms.push_back(graphRoom(record.room));
    names.push_back(record.room.shortname);
  }
  result.out = svgMap(AreaGraph(std::move(graphRooms)), names, args[1]);
  return result;
}

}  // namespace

CommandResult runCommand(const std::vector<std::string>& args) {
  const std::string& command = args.front();
  if (command == "--help" && args.size() == 1) return {kUsage, "", 0};
  if (command == "--version" && args.size() == 1) {
    return {std::string("roombuilder ") + kVersion + "\n", "", 0};
  }
  try {
    if (command == "check" && (args.size() == 2 || args.size() == 3)) return check(args);
    if (command == "map" && args.size() == 2) return map(args);
  } catch (const std::bad_alloc&) {
    std::string shown;
    appendHexEscaped(shown, args[1]);
    return {"", "roombuilder: " + shown + ": too large to read\n", 2};
  }
  return usageError();
}

}  // namespace rb
