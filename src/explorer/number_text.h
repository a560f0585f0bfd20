// Numbers in text, converted as the standard atoi does: leading white space,
// one optional sign, then digits up to the first other character; text that
// does not begin with a number gives 0. Values beyond the range of int are
// clamped to it.
#pragma once

#include <string_view>

namespace rb {

int textToInt(std::string_view text);

}  // namespace rb
