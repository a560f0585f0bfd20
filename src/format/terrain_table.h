// The eighteen terrain types: the name the summary shows and the line each
// terrain menu prints.
#pragma once

#include <string_view>

namespace rb {

struct TerrainType {
  std::string_view name;
  std::string_view menuLine;      // as the area dialogue lists it
  std::string_view roomMenuLine;  // as the room menu's terrain choice lists it
};

class TerrainTable {
 public:
  static constexpr int kFirst = 1;
  static constexpr int kLast = 18;

  static bool valid(int code) { return code >= kFirst && code <= kLast; }
  // Codes that need the passcode.
  static bool restricted(int code) { return code == 17 || code == 18; }
  // The entry for a code; a code outside 1..18 has empty texts.
  const TerrainType& operator[](int code) const;
};

inline constexpr TerrainTable terraintype{};

}  // namespace rb
