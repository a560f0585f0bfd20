#include "tools/check/check_rules.h"

namespace rb {

namespace {

constexpr std::array<CheckRule, kCheckRules> kRules = {{
    {"function-twice", true, "A function name is used twice",
     "The record's function name is one an earlier record already has: the game server's "
     "source does not compile.",
     "Renumber one of the rooms (roombuilder renumber), or delete the copy."},
    {"number-twice", true, "A room number is used twice",
     "The record's room number is one an earlier record already has (in another region): the "
     "game server's room table holds two rooms of one number, and exits lead to the first.",
     "Renumber one of the rooms (roombuilder renumber)."},
    {"missing-room", true, "An exit leads to no room",
     "An exit leads to a room number that no record of the world has.",
     "Add the room, correct the exit's number, or name the file that holds the room."},
    {"not-a-room-number", true, "An exit is not a room number",
     "A number of the record's links line lies beyond the range of int: it is no room number, "
     "and the exit is none.",
     "Correct the number in the links line, or set the exit again with the room menu."},
    {"no-row", true, "A room has no row",
     "The room has no row in the data file: the game server's room table does not know it.",
     "Add the room's row to the data file, or name the data file that holds it."},
    {"second-row", true, "A room has a second row",
     "A second row in the data files names the function of an earlier row.",
     "Delete the row that is wrong."},
    {"row-without-room", true, "A row names no room",
     "A row of the data file names a function that no record of the room files has.",
     "Delete the row, or name the room file that holds its room."},
    {"one-way", false, "A one-way exit",
     "An exit leads to a room whose exit the opposite way does not lead back.",
     "Add the way back (roombuilder link), or leave it if it is meant; -Wno-one-way turns the "
     "warning off."},
    {"unreachable", false, "A room no path reaches",
     "No path of exits leads from the start room (the first room of the first room file, or "
     "--start) to the room.",
     "Add an exit that leads to it, or check from another start room with --start."},
    {"short-name", false, "A room has no short name",
     "The room's short name is empty: players see nothing where its name belongs.",
     "Give the room a short name with the room menu."},
    {"not-writer", false, "Not as the room writer writes it",
     "The record or row is not exactly as the room writer writes it: it was written or changed "
     "by hand. It is kept as it stands, but the tools cannot read every field of it.",
     "Leave it if it is meant (a transfer copies it unchanged), or write the room again with the "
     "builder."},
    {"crlf", false, "CR LF line ends",
     "The file's lines end in CR LF (said once, at its first such line).",
     "Convert the file's line ends to LF."},
    {"width", false, "A line wider than 79 columns",
     "A short name, description line, response line or event text is wider than 79 columns "
     "on the players' screen.",
     "Shorten the text or break it over two lines."},
    {"spacing", false, "Blanks out of place",
     "A text ends in a blank, has two blanks in a row, or a short name holds a tab.",
     "Remove the blanks."},
    {"doubled", false, "A word twice in a row", "A text says the same word twice in a row.",
     "Remove one of the words."},
    {"spelling", false, "A word the dictionary does not know",
     "A word of a text is not in the dictionary, nor in the words accepted with --words.",
     "Correct the word, or add it to the file of accepted words (--words)."},
    {"same-text", false, "The text of an earlier room",
     "The room has the short name and description of an earlier room: a copy that was not "
     "changed.",
     "Give the room its own short name and description."},
    {"region", false, "A function name without a region name",
     "The room's function name has no region name before its \"l_\".",
     "Give the area a region name when the room is written again."},
}};

}  // namespace

const std::array<CheckRule, kCheckRules>& checkRules() {
  return kRules;
}

}  // namespace rb
