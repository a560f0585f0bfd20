// Writing what `link` adds into the room files: only the links line of
// each record that gets an exit changes, every other byte stays. Each file
// that changes is written anew beside the old one; only when all of them
// are written are the old contents kept in numbered backups and the new
// files put in place, so a failure before that leaves every file as it was.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tools/link/return_exits.h"
#include "world/world.h"

namespace rb {

struct LinkedFiles {
  // Each file replaced, with the backup that keeps its old contents.
  std::vector<std::pair<std::string, std::string>> backups;
  // What failed ("FILE", "reason"), when something did.
  std::optional<std::pair<std::string, std::string>> failure;
};

LinkedFiles writeReturnExits(const World& world, const LinkPlan& plan);

}  // namespace rb
