// The program's own texts, written out once for the transcript tests, so
// that an expected transcript reads as the screen would.
#pragma once

#include <string>

namespace rb::test {

inline const std::string kNewFilePrompts =
    "You have selected to make new rooms.\n"
    "Please type in the name of the file you wish your\n"
    "rooms to be saved in (For example, you might save\n"
    "the rooms for tarvesh as tarvesh.txt, or perhaps\n"
    "as tarvesh.c.). This file will be created in the\n"
    "same directory as this program.\n";
inline const std::string kNewDataPrompt =
    "Now please select the file you wish to save room\n"
    "data in. This file will be created in the same\n"
    "directory as this program. WARNING: Do not use\n"
    "the same name for your room file and your room\n"
    "data file.\n";
inline const std::string kAppendRoomPrompt =
    "Please type the name of the room file you wish to\n"
    "append to.\n"
    "WARNING: Take backups of all files involved before\nproceeding.\n";
inline const std::string kAppendDataPrompt =
    "Please type the name of the data file to append to.\n"
    "WARNING: Take backups of all files involved before\nproceeding.\n";

inline std::string countQuestion(long long total) {
  return "Which number will be your first room number?\n"
         "Which number will be your last room number?\n"
         "This is a total of " +
         std::to_string(total) + " rooms, is this correct? (y/n)\n";
}

inline const std::string kRegionPrompts =
    "What is your default region name? (e.g. vosmer)\n"
    "What is your default region number?\n"
    "Do you wish this area to be naturally dark? (y/n)\n";

inline const std::string kAreaTerrainMenu =
    "Please choose default terrain type.\n"
    "1: Cityland. (Outdoor in cities.)\n"
    "2: Buildingland. (Indoors, inside buildings.)\n"
    "3: Plainland. (Barren plains areas.)\n"
    "4: Swampland. (Swampy areas.)\n"
    "5: Forestland. (Tree filled areas.)\n"
    "6: Mountainland. (In the mountains.)\n"
    "7: Iceland. (Ice/snow covered areas.)\n"
    "8: Hilland. (Low hills, less servere terrain than mountains.)\n"
    "9: Cavernland. (Indoors, in natural caves and tunnels.)\n"
    "10: Desertland. (Sandy, desert areas.)\n"
    "11: Coastalland. (Beaches.)\n"
    "12: Riverland. (Flowing fresh water areas.)\n"
    "13: Lakeland. (Still fresh water areas.)\n"
    "14: Grassland. (Fertile plains areas.)\n"
    "15: Roadland. (Any kind of road outside of cities.)\n"
    "16: Underriver. (Underground rivers.)\n"
    "17: On-ship. (On board a working ship.) *restricted use*\n"
    "18: Divine. (Special non-terrain locations.) *restricted use*\n";

inline std::string roomTerrainMenu() {
  std::string menu = kAreaTerrainMenu;
  menu.replace(0, std::string("Please choose default").size(), "Please choose room");
  const std::string area17 = "(On board a working ship.)";
  menu.replace(menu.find(area17), area17.size(), "(Onboard a working ship.)");
  return menu;
}

inline std::string areaTerrainChosen(int code) {
  return kAreaTerrainMenu + "Area type chosen: " + std::to_string(code) + "\n";
}

inline const std::string kEnterRoomMode = "Area initialisation complete, entering room mode.\n";
inline const std::string kPasscodePrompt =
    "Please give the passcode required to use these terrains.\n";
inline const std::string kNotAuthorised =
    "That is not the correct passcode. You are not\n"
    "authorised to use these terrain types.\n";
inline const std::string kCompleted = "Room editing completed, returning to main menu.\n";
inline const std::string kRegionRefused =
    "Region names may only contain letters, digits and underscores, and may not start with a "
    "digit.\n";

// The room menu as shown for `room`, light or dark, shown or suppressed.
inline std::string roomMenu(long long room, bool light = true, bool shown = true) {
  std::string menu = "\nCurrently editing room: " + std::to_string(room) + "\n";
  if (shown) {
    menu +=
        "x: Exit without saving current room.\n"
        "0: Save and move to next room.\n"
        "1: Alter region name (This room only).\n"
        "2: Define exit destinations.\n"
        "3: Set short room name.\n"
        "4: Set room long description.\n"
        "5: Toggle darkness status (This room only).\n";
  }
  menu += light ? "Currently Light.\n" : "Currently Dark.\n";
  if (shown) {
    menu +=
        "6: Alter terrain type (This room only).\n"
        "7: Add random event (This room only).\n"
        "8: Add room command (This room only).\n"
        "9: See summary of room.\n";
  }
  return menu;
}

inline const std::string kShortNamePrompt = "Please enter this locations short name:\n";

inline const std::string kExitHelp =
    "Please type the keypad key corresponding to the exit you wish\n"
    "to change, e.g. 8 for north, 3 for southeast. Type 5 to end, or u, d,\n"
    "i, or o to change up, down, in, or out exits.\n";
inline const std::string kRuler =
    "-------------------------------------------------------------------------------|\n";
inline const std::string kDescriptionHelp =
    "Please enter this room's long description.\n"
    "Input the description line by line.\n"
    "Please take care not to exceed 79 characters (indicated by the line below).\n"
    "If you do go over 79, it is possible to edit it shorter, but tov will\n"
    "not echo an accurate representation of your work.\n"
    "Enter a lone period on an empty line to end editing.\n" +
    kRuler;
inline const std::string kResponseHelp =
    "Please enter the text resulting from this command.\n"
    "Input the text line by line.\n"
    "Please take care not to exceed 79 characters (Indicated by the line below).\n"
    "If you do go over 79, it is possible to edit it shorter, but tov will\n"
    "not echo an accurate representation of your work.\n"
    "Enter a lone period on an empty line to end editing.\n" +
    kRuler;

inline const std::string kEventPrompts =
    "Please enter how often this event will occur (0-1, 0.1 is an example.)\n"
    "Please type the text which will be echoed to the room when this event happens.\n";

inline const std::string kExploreFilePrompt =
    "Please enter the name of the room\n"
    "file you wish to explore.\n"
    "WARNING: Files not created using tov,\n"
    "or those modified since creation may\n"
    "function incorrectly with this option.\n";
inline const std::string kLowestPrompt = "What is the lowest room number?\n";
inline const std::string kStartPrompt = "Which room do you wish to start in? (q to quit)\n";
inline const std::string kWalkIntro =
    "Use the keypad to move around (8=north etc.)\n"
    "Also keys u,d,i,o are available.\n"
    "Press key 5 to quit.\n\n"
    "Pressing s calls up certain statistics about this room file.\n";

}  // namespace rb::test
