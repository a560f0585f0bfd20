// The name of a room's function in the room file, which is also the first
// field of its data row: the region name, "l_", and the room number.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rb {

std::string functionName(std::string_view region, int room);
void appendFunctionName(std::string& out, std::string_view region, int room);

// The text that ends a header line, the first line of a room's function.
inline constexpr std::string_view kHeaderTail = "(user,com,dir)";

// The function name of a header line: its text before "(user,com,dir)" and
// the line's end (LF or CR LF); nothing when the line is not a header line
// (or the name holds a blank or a parenthesis).
std::optional<std::string_view> headerFunctionName(std::string_view line);

// The room number of a header line or function name: the number after its
// last underscore, converted as atoi does (0 when there is none). This is
// right for every region name, underscores included.
int headerRoomNumber(std::string_view line);

// The region name and the number text of a function name as the writer
// forms it: everything before the "l_" of its last underscore, and what
// follows; false when the name has no "l_" there.
bool splitFunctionName(std::string_view name, std::string_view& region, std::string_view& room);

// Whether `name` is exactly what functionName forms for some region and
// room number (the number as "%d" writes it, within int); gives them.
bool formedFunctionName(std::string_view name, std::string_view& region, int& room);

// Whether `name` is formed so from a region name the room menu takes (what
// validRegionName allows, at most kRegionNameSize - 1 bytes).
bool menuFunctionName(std::string_view name, std::string_view& region, int& room);

}  // namespace rb
