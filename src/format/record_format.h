// The fixed text of a room record and of a data row: every piece that the
// writer writes between the fields, in the order it writes them. The writer
// (room_record.cpp, data_row.cpp) and the parser that reads the fields back
// are both made of these pieces, so they cannot disagree about the format.
//
// A record, its fields in capitals ({...} repeats, [...] is written only
// sometimes):
//
//   REGIONl_ROOM(user,com,dir)
//   OBJECT user;
//   int com,dir;
//   {
//   int links[]={ EXIT,EXIT,...,EXIT };            twelve exits, slots 1..12
//   switch(com)
//   {
//   case 0: write_user(user,"NAME\n");write_user(user,"{LINE\n}");
//   exits_contents(user,links,""); return 0;
//   case 1: return links[dir];
//   [case 2: if(!strcmp(word[0],"WORD"){ && !strcmp(word[K],"WORD")}) {
//   write_user(user,"{LINE\n}"); return 1; } return 0;] [case 3:
//   if(randnum()<FREQUENCY)write_room(ROOM,"TEXT\n"); return 0;] case 4: write_user(user,"NAME\n");
//   exits_contents(user,links,"");}return 0;}
//   (a blank line)
//
// A data row: FUNCTION,REGIONNUMBER,0,0,LIGHT,1,0,0,TERRAIN,"",
#pragma once

#include <string_view>

#include "format/function_name.h"

namespace rb::format {

// The record. kHeaderTail ("(user,com,dir)") comes from function_name.h.
inline constexpr std::string_view kHeaderEnd = "\n";
inline constexpr std::string_view kPreamble = "OBJECT user;\nint com,dir;\n{\n";
inline constexpr std::string_view kLinksStart = "int links[]={ ";
inline constexpr std::string_view kExitSeparator = ",";
inline constexpr std::string_view kLinksEnd = " };\n";
inline constexpr std::string_view kSwitch = "switch(com)\n{\n";
inline constexpr std::string_view kLookStart = "case 0: write_user(user,\"";
// After a line of text: the escape that ends it.
inline constexpr std::string_view kTextLineEnd = "\\n";
inline constexpr std::string_view kNameToDescription = "\");write_user(user,\"";
inline constexpr std::string_view kLookEnd =
    "\");\nexits_contents(user,links,\"\"); return 0;\ncase 1: return links[dir];\n";
inline constexpr std::string_view kCommandStart = "case 2: if(!strcmp(word[0],\"";
inline constexpr std::string_view kWordEnd = "\")";
inline constexpr std::string_view kNextWordStart = " && !strcmp(word[";
inline constexpr std::string_view kWordIndexEnd = "],\"";
inline constexpr std::string_view kResponseStart = ") { write_user(user,\"";
inline constexpr std::string_view kCommandEnd = "\"); return 1; } return 0;\n";
inline constexpr std::string_view kEventStart = "case 3: if(randnum()<";
inline constexpr std::string_view kEventRoom = ")write_room(";
inline constexpr std::string_view kEventText = ",\"";
inline constexpr std::string_view kEventEnd = "\\n\"); return 0;\n";
inline constexpr std::string_view kBriefStart = "case 4: write_user(user,\"";
inline constexpr std::string_view kRecordEnd =
    "\\n\");\nexits_contents(user,links,\"\");}return 0;}\n\n";

// The lines that the explorer tells apart by their sixth character.
inline constexpr std::size_t kCaseDigit = 5;  // "case 2:" and "case 3:"

// The data row.
inline constexpr std::string_view kFieldSeparator = ",";
inline constexpr std::string_view kAfterRegion = ",0,0,";
inline constexpr std::string_view kAfterLight = ",1,0,0,";
inline constexpr std::string_view kRowEnd = ",\"\",\n";

}  // namespace rb::format
