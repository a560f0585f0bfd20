// Sizes of the lines the dialogues read that are not texts of a room (those
// are in area/room_model.h): each line holds at most size - 1 bytes.
#pragma once

#include <cstddef>

namespace rb {

// A file name at the file prompts.
inline constexpr std::size_t kFileNameSize = 4096;
// The scratch line `temptext` that takes the rest of a number's line.
inline constexpr std::size_t kScratchSize = 20;
// The lines the explorer and the transfer read their room numbers from.
inline constexpr std::size_t kExplorerLineSize = 2000;

}  // namespace rb
