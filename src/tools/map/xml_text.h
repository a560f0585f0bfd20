// Text from a room file made safe inside an XML document: markup characters
// escaped, and every byte that is not valid UTF-8 or not a character XML
// allows replaced by U+FFFD, so any room file gives a well-formed picture.
#pragma once

#include <string>
#include <string_view>

namespace rb {

void appendXmlText(std::string& out, std::string_view text);

}  // namespace rb
