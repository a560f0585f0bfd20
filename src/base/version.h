// The program's version, as the banner and --version show it.
#pragma once

namespace rb {

inline constexpr const char* kVersion = "1.17";

}  // namespace rb
