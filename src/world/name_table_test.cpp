#include "world/name_table.h"

#include <gtest/gtest.h>

#include <string>

namespace rb {
namespace {

// Names numbered once each, in the order first seen, whatever they look
// like: a world's function names (many with one text before consecutive
// numbers, and regions whose numbers overlap), names without a number, the
// empty name.
TEST(NameTable, NumbersEachNameOnceInTheOrderFirstSeen) {
  NameTable table;
  std::vector<std::string> names;
  for (int n = 0; n < 20000; ++n)
    names.push_back("vosmerl_" + std::to_string(n));
  for (int n = 0; n < 20000; ++n)
    names.push_back("easterl_" + std::to_string(n));
  for (const char* other : {"", "room", "9", "a_b_c", "vosmerl_007", "vosmerl_7x"})
    names.emplace_back(other);
  for (std::size_t i = 0; i < names.size(); ++i)
    ASSERT_EQ(table.intern(names[i]), i) << names[i];
  EXPECT_EQ(table.size(), names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    ASSERT_EQ(table.intern(names[i]), i);
    ASSERT_EQ(table.find(names[i]), i);
    ASSERT_EQ(table.name(static_cast<NameTable::Id>(i)), names[i]);
  }
  EXPECT_FALSE(table.find("vosmerl_20000"));
  EXPECT_FALSE(NameTable().find("x"));
}

}  // namespace
}  // namespace rb
