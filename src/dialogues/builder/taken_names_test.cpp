#include "dialogues/builder/taken_names.h"
#include "format/function_name.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace rb {
namespace {

// Random adds, renames and questions against a plain count of every name:
// names as the writer forms them (runs that join, split and reach the ends
// of int), in two regions and one with an underscore, beside names it does
// not form (a leading zero, a plus sign, no "l_", the empty name) and names
// the table held from the start.
TEST(TakenNames, CountsEveryNameAsAPlainCountWould) {
  std::vector<std::string> pool;
  for (const char* region : {"vosmer", "east", "old_mill"}) {
    for (int n = -3; n <= 12; ++n)
      pool.push_back(std::string(region) + "l_" + std::to_string(n));
    pool.push_back(std::string(region) + "l_" + std::to_string(INT_MAX));
    pool.push_back(std::string(region) + "l_" + std::to_string(INT_MAX - 1));
    pool.push_back(std::string(region) + "l_" + std::to_string(INT_MIN));
    pool.push_back(std::string(region) + "l_" + std::to_string(INT_MIN + 1));
  }
  for (const char* other : {"vosmerl_007", "vosmerl_-0", "vosmerl_+5", "vosmerl_5x",
                            "vosmerl_99999999999", "room", "l_4", "", "vosmerl_"})
    pool.emplace_back(other);
  std::mt19937 random(20261209);
  const auto any = [&] { return pool[random() % pool.size()]; };
  for (int round = 0; round < 50; ++round) {
    NameTable table;
    // Some names numbered before, as the transfer's survey numbers them.
    std::vector<NameTable::Id> known;
    for (int i = 0; i < 5; ++i)
      known.push_back(table.intern(any()));
    TakenNames taken(table);
    std::map<std::string, int> expected;
    for (int step = 0; step < 400; ++step) {
      const std::string name = any();
      switch (random() % 5) {
        case 0:
          taken.add(name);
          ++expected[name];
          break;
        case 3: {
          // By region and number, as the area build adds them.
          std::string_view region;
          int number = 0;
          if (!formedFunctionName(name, region, number)) break;
          taken.add(region, number);
          ++expected[name];
          break;
        }
        case 1: {
          const NameTable::Id id = known[random() % known.size()];
          taken.add(id);
          ++expected[std::string(table.name(id))];
          break;
        }
        case 2: {
          // Renamed from a name some room has, as the transfer does.
          const std::string from = any();
          if (expected[from] == 0) break;
          taken.rename(from, name);
          --expected[from];
          ++expected[name];
          break;
        }
        default:
          break;
      }
      const std::string asked = any(), own = random() % 2 ? asked : any();
      const int others = expected[asked] - (asked == own && expected[asked] > 0 ? 1 : 0);
      ASSERT_EQ(taken.taken(asked, own), others > 0)
          << "round " << round << " step " << step << ": " << asked << " own " << own;
      std::string_view region;
      int number = 0;
      if (formedFunctionName(asked, region, number)) {
        ASSERT_EQ(taken.taken(region, number), expected[asked] > 0) << asked;
      }
    }
  }
}

}  // namespace
}  // namespace rb
