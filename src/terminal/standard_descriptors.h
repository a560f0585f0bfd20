// Standard input, output and error as the program expects to find them.
#pragma once

namespace rb {

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed, so that
// no file the program opens later can take one of their numbers (a room
// file must never become standard output).
void openMissingStandardDescriptors();

}  // namespace rb
