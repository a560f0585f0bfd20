// Writing the whole of a text to a descriptor.
#pragma once

#include <sys/types.h>

#include <string_view>

namespace rb {

// Writes all of `text` to `fd`, going on after an interruption and waiting
// while a non-blocking descriptor is full; false (errno set) when it cannot.
bool writeAll(int fd, std::string_view text);
// Writes all of `text` to the file `fd` at `at`, leaving its offset as it
// is; false (errno set) when it cannot.
bool writeAllAt(int fd, std::string_view text, off_t at);

}  // namespace rb
