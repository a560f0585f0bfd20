// A room as text for people, one field a line, for `show` and `diff`: the
// labels both use ("short name", "description line 3", "north exit",
// "command", "response line 1", "event frequency", "event text"), texts in
// double quotes with C's escapes, never a raw control byte.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "format/room_model.h"

namespace rb {

// What a room's data row says, when it has one the writer wrote.
struct RowView {
  int region = 0;
  int dark = 0;  // the row's roomdark: 1 light, 0 dark
  int terrain = 0;
};

// Each field the room has, a line each, indented two blanks: no line for a
// field it lacks (an exit of -1, a command or event it does not have).
void appendRoomFields(std::string& out, const WorkingRoom& room);

// Whether an exit's change is left out (one that only follows a renumbered
// room): slot, destination before, destination after.
using SkipExit = std::function<bool(int slot, int before, int after)>;

// The lines of the fields that differ between `before` and `after`, in the
// order of appendRoomFields, then the region name and, when both rows are
// given, the row's fields. Returns how many lines it added.
int appendRoomChanges(std::string& out, const WorkingRoom& before, const WorkingRoom& after,
                      const std::optional<RowView>& rowBefore,
                      const std::optional<RowView>& rowAfter, const SkipExit& skipExit = {});

// A data row as `show` prints it: "row NAME: region R, light, terrain T (Name)".
void appendRowLine(std::string& out, std::string_view function, const RowView& row);

// The terrain as the summary names it: "3 (Plains)".
std::string terrainText(int code);

}  // namespace rb
