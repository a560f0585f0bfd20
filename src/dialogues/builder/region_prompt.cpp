#include "dialogues/builder/region_prompt.h"

#include "format/region_name.h"
#include "format/room_model.h"
#include "terminal/line_sizes.h"

namespace rb {

std::string readRegionName(Console& con, const char* prompt) {
  for (;;) {
    con.print(prompt);
    std::string name = con.readLine(kRegionNameSize, LineKind::RegionName);
    if (validRegionName(name)) return name;
    con.print(
        "Region names may only contain letters, digits and underscores, and may not start with "
        "a digit.\n");
  }
}

}  // namespace rb
