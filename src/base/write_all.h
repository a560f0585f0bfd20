// Writing the whole of a text to a descriptor.
#pragma once

#include <string_view>

namespace rb {

// Writes all of `text` to `fd`, going on after an interruption and waiting
// while a non-blocking descriptor is full; false (errno set) when it cannot.
bool writeAll(int fd, std::string_view text);

}  // namespace rb
