// Whole-program transcripts: keystrokes in, exact standard output and exit
// status out, both in this process and through the real executable.
#include <gtest/gtest.h>

#include "test_support.h"

namespace rb::test {
namespace {

const std::string kThanks = "Thank you for using Varneth Room Builder.\n";

std::string menus(int count) {
  std::string text;
  for (int i = 0; i < count; ++i)
    text += kMainMenu;
  return text;
}

TEST(ProgramTranscript, BannerMenuAndExit) {
  const RunResult run = runInProcess("0");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, std::string(kBanner) + kMainMenu + kThanks);
}

TEST(ProgramTranscript, UpperCaseUnlistedKeysAndLineBreaksRedisplay) {
  const RunResult run = runInProcess("S\nX?5\x1b\n0");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, std::string(kBanner) + menus(8) + kThanks);
}

TEST(ProgramTranscript, SetupToggledTwice) {
  const RunResult run = runInProcess("s11x0");
  const std::string options =
      "Options menu:\n\n"
      "x: Exit options menu.\n"
      "1: Toggle room creation menu suppression.\n"
      "(Type ? at the room creation prompt to\n"
      "reveal suppressed menus)\n";
  const std::string toggled = "Room creation menu suppression toggled.\n";
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, std::string(kBanner) + kMainMenu + options +
                         "\tRoom creation menu not suppressed.\n" + toggled + options +
                         "\tRoom creation menu currently suppressed.\n" + toggled + options +
                         "\tRoom creation menu not suppressed.\n" + kMainMenu + kThanks);
}

TEST(ProgramTranscript, EndOfInputAtTheMainMenuIsStatusZeroElsewhereOne) {
  RunResult run = runInProcess("?");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, std::string(kBanner) + kMainMenu + kMainMenu);
  run = runInProcess("s1");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out.find(kThanks), std::string::npos);
}

TEST(ExecutableTranscript, ExitStatusAndOutputThroughAPipe) {
  TempDir dir;
  RunResult run = runBinary("3\ns1x0", dir.path());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, runInProcess("3\ns1x0").out);
  EXPECT_EQ(run.out.substr(run.out.size() - kThanks.size()), kThanks);

  run = runBinary("", dir.path());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, std::string(kBanner) + kMainMenu);

  run = runBinary("s", dir.path());
  EXPECT_EQ(run.status, 1);
}

}  // namespace
}  // namespace rb::test
