#include "format/function_name.h"

#include "base/char_class.h"
#include "base/number_text.h"
#include "base/text_append.h"
#include "format/region_name.h"
#include "format/room_model.h"

namespace rb {

void appendFunctionName(std::string& out, std::string_view region, int room) {
  appendText(out, region, "l_", room);
}

std::string functionName(std::string_view region, int room) {
  std::string name;
  appendFunctionName(name, region, room);
  return name;
}

std::optional<std::string_view> headerFunctionName(std::string_view line) {
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.size() <= kHeaderTail.size() ||
      line.substr(line.size() - kHeaderTail.size()) != kHeaderTail) {
    return std::nullopt;
  }
  const std::string_view name = line.substr(0, line.size() - kHeaderTail.size());
  for (char c : name) {
    if (isSpace(c) || c == '(' || c == ')') return std::nullopt;
  }
  return name;
}

int headerRoomNumber(std::string_view line) {
  const std::size_t underscore = line.rfind('_');
  return underscore == std::string_view::npos ? 0 : textToInt(line.substr(underscore + 1));
}

bool splitFunctionName(std::string_view name, std::string_view& region, std::string_view& room) {
  const std::size_t underscore = name.rfind('_');
  if (underscore == std::string_view::npos || underscore == 0 || name[underscore - 1] != 'l') {
    return false;
  }
  region = name.substr(0, underscore - 1);
  room = name.substr(underscore + 1);
  return true;
}

bool formedFunctionName(std::string_view name, std::string_view& region, int& room) {
  std::string_view digits;
  std::size_t end = 0;
  return splitFunctionName(name, region, digits) && takeWrittenInt(digits, end, room) &&
         end == digits.size();
}

bool menuFunctionName(std::string_view name, std::string_view& region, int& room) {
  return formedFunctionName(name, region, room) && region.size() < kRegionNameSize &&
         validRegionName(region);
}

}  // namespace rb
