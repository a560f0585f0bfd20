#include "tools/change/change_report.h"

#include "base/text_append.h"
#include "tools/check/world_check.h"

namespace rb {

void reportChange(const World& world, const ChangeOutcome& outcome, OutputStream& out) {
  if (!outcome.describe) return;
  std::vector<std::string> names;  // as shown, by file
  names.reserve(world.files().size());
  for (const WorldFile& file : world.files())
    names.push_back(visible(file.name));
  outcome.describe([&](const ChangeMessage& message) {
    const std::string& file = names[message.file];
    if (message.warning) {
      out.print(file, ":", message.line, ": warning: ", message.text, " [-W", message.kind, "]\n");
    } else {
      out.print(file, ":", message.line, ": note: ", message.text, "\n");
    }
  });
}

std::string changeRefusal(const World& world, const ChangeOutcome& outcome) {
  std::string line;
  if (outcome.refusedRecord == World::kNone) {
    appendText(line, "roombuilder: ", visible(outcome.refusal), "\n");
  } else {
    appendText(line, visible(world.fileOfRecord(outcome.refusedRecord).name), ":",
               world.recordLine(outcome.refusedRecord), ": error: ", visible(outcome.refusal),
               "\n");
  }
  return line;
}

}  // namespace rb
