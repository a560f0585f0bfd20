// Random rooms for property tests: every field the room menu can hold, at
// times at its limits, with texts full of what needs escaping.
#pragma once

#include <climits>
#include <random>
#include <string>

#include "format/room_model.h"

namespace rb::test {

// A random room the room menu could hold, with every field at times at its
// limits, and texts full of what needs escaping.
class RoomGenerator {
 public:
  explicit RoomGenerator(unsigned seed) : random_(seed) {}

  WorkingRoom room() {
    WorkingRoom r;
    const int numbers[] = {0, 1, 100, -8, INT_MAX, INT_MIN, pick(-100000, 100000)};
    r.room = numbers[pick(0, 6)];
    const std::string regions[] = {"", "vosmer", "a_b", "l_", "x_l_9", "_", std::string(19, 'z')};
    r.tempregionname = regions[pick(0, 6)];
    for (int slot = 1; slot <= kExitCount; ++slot)
      r.exitd[static_cast<std::size_t>(slot)] = chance(2) ? kNoExit : numbers[pick(0, 6)];
    r.shortname = text(49);
    r.lines = pick(-1, 9);
    for (auto& line : r.ldesc)
      line = text(99);
    r.roomdark = pick(0, 1);
    r.roomterrain = pick(1, 18);
    const float frequencies[] = {0.0f, -0.5f, 1e-9f, 0.25f, 0.1f, 1.0f, 3.4e38f, 123456.789f};
    r.t = frequencies[pick(0, 7)];
    r.randtext = text(79);
    r.command = pick(0, 9);
    for (auto& word : r.comm)
      word = text(19);
    r.clines = pick(-1, 9);
    for (auto& line : r.cdesc)
      line = text(99);
    return r;
  }

 private:
  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  bool chance(int oneIn) { return pick(1, oneIn) == 1; }
  std::string text(int longest) {
    static const std::string pieces[] = {"a",
                                         " ",
                                         "\\",
                                         "\"",
                                         "\r",
                                         "?",
                                         "??",
                                         "\t",
                                         "\xc3\xa9",
                                         "\\n",
                                         "\");",
                                         "case 2:",
                                         "(user,com,dir)",
                                         ",",
                                         "\x01"};
    std::string t;
    const int length = chance(4) ? longest : pick(0, longest);
    while (static_cast<int>(t.size()) < length) {
      const std::string& piece = pieces[static_cast<std::size_t>(pick(0, 14))];
      if (static_cast<int>(t.size() + piece.size()) > length) break;
      t += piece;
    }
    if (chance(5)) t.assign(static_cast<std::size_t>(length), 'x');
    return t;
  }

  std::mt19937 random_;
};

}  // namespace rb::test
