#include "format/function_name.h"

#include <gtest/gtest.h>

namespace rb {
namespace {

TEST(HeaderLine, RoomNumberFollowsTheLastUnderscore) {
  EXPECT_EQ(headerRoomNumber("vosmerl_100(user,com,dir)\n"), 100);
  EXPECT_EQ(headerRoomNumber("a_bl_5(user,com,dir)\n"), 5);
  EXPECT_EQ(headerRoomNumber("l_-7(user,com,dir)\n"), -7);
  EXPECT_EQ(headerRoomNumber("x_y(user,com,dir)\n"), 0);
}

TEST(HeaderLine, NamesTheFunctionOfAHeaderLineOnly) {
  EXPECT_EQ(headerFunctionName("vosmerl_100(user,com,dir)\n"), "vosmerl_100");
  EXPECT_EQ(headerFunctionName("vosmerl_100(user,com,dir)\r\n"), "vosmerl_100");  // CR LF
  EXPECT_EQ(headerFunctionName("vosmerl_100(user,com,dir)"), "vosmerl_100");
  for (const char* line : {"(user,com,dir)\n", "a b(user,com,dir)\n", "f(x)(user,com,dir)\n",
                           "vosmerl_100(user, com, dir)\n", "int links[]={ 1 };\n", ""}) {
    EXPECT_FALSE(headerFunctionName(line)) << line;
  }
  EXPECT_EQ(functionName("vosmer", 100), "vosmerl_100");
  std::string_view region, number;
  ASSERT_TRUE(splitFunctionName("a_bl_5", region, number));
  EXPECT_EQ(region, "a_b");
  EXPECT_EQ(number, "5");
  EXPECT_FALSE(splitFunctionName("vosmer_100", region, number));
}

}  // namespace
}  // namespace rb
