#include "builder/region_prompt.h"

#include "area/region_name.h"
#include "area/room_model.h"
#include "shell/line_sizes.h"

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
