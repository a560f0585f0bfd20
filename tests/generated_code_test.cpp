// The files the builder writes are real code: the room file compiles as C89
// (old-style parameters, implicit int) with a stand-in for the game server,
// the data file compiles as the initialiser list of the server's room table,
// and every room function sends exactly what the builder typed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace rb::test {
namespace {

// The game server's names, as far as the room functions use them. Every call
// prints what it was given, so the test can compare it with what was typed.
const char* const kServerStandIn = R"(#include <stdio.h>
#include <string.h>
typedef struct user_struct { int id; } *OBJECT;
char *word[10];
void write_user(OBJECT user, char *text) { printf("U[%s]", text); }
void exits_contents(OBJECT user, int *links, char *text) {
  int i;
  printf("E[");
  for (i = 0; i < 12; ++i) printf("%d,", links[i]);
  printf("%s]", text);
}
double randnum() { return 0.0; }
void write_room(int room, char *text) { printf("R%d[%s]", room, text); }
)";

// Calls every room of the table with every request code.
const char* const kHarness = R"(#include "server.h"
#include "rooms.c"
struct room_entry {
  int (*function)();
  int region, f3, f4, light, f6, f7, f8, terrain;
  char *name;
};
struct room_entry table[] = {
#include "rooms.dat"
};
int main(int argc, char **argv) {
  struct user_struct someone;
  int r, com, dir;
  for (r = 0; r < (int)(sizeof table / sizeof table[0]); ++r) {
    struct room_entry *e = &table[r];
    printf("room %d %d %d %d %d %d %d %d [%s]\n", e->region, e->f3, e->f4, e->light, e->f6,
           e->f7, e->f8, e->terrain, e->name);
    for (com = 0; com <= 5; ++com) {
      if (com == 1) {
        for (dir = 0; dir < 12; ++dir) printf("%d,", e->function(&someone, 1, dir));
        printf("\n");
        continue;
      }
      if (com == 2) {
        /* argv[1..] are the command words that should match. */
        int k;
        for (k = 0; k < 10; ++k) word[k] = k + 1 < argc ? argv[k + 1] : "";
        printf(" ->%d\n", e->function(&someone, 2, 0));
        word[0] = "nomatch";
        printf(" ->%d\n", e->function(&someone, 2, 0));
        continue;
      }
      printf(" ->%d\n", e->function(&someone, com, 0));
    }
  }
  return 0;
}
)";

std::string links(const std::vector<int>& exits) {
  std::string text;
  for (int exit : exits)
    text += std::to_string(exit) + ",";
  return text;
}

TEST(GeneratedCode, CompilesAsC89AndSendsWhatWasTyped) {
  TempDir dir;
  const std::string shortName = "The \"Inn\" \\ tap";
  const std::string line1 = "C:\\path\\ and \"quotes\"";
  const std::string line3 = "\");system(\"echo pwned\");write_user(user,\"";
  // Every trigraph, and three question marks in a row.
  const std::string trigraphs = "?\?= ?\?/ ?\?' ?\?( ?\?) ?\?! ?\?< ?\?> ?\?- ?\??";
  const std::string word2 = "\"lever\\";
  const std::string response = "It\\moves \"now\" \x01 ?\?/ \r end";
  const std::string event = "Bell \\ rings \"loud\"";
  const std::string script = "1" + dir.file("rooms.c") + "\n" + dir.file("rooms.dat") + "\n" +
                             "10 12\ny" + "inn\n4\nn2\n" +
                             // Room 10: everything, with quotes and backslashes in every text.
                             "3" + shortName + "\n" + "4" + line1 + "\n\n" + line3 +
                             "\ntab\there\n" + trigraphs + "\n.\n" + "28 11\n3 -1\n3 12\no 99\n5" +
                             "82\npull\n" + word2 + "\n" + response + "\n\n.\n" + "70.25\n" +
                             event + "\n" + "0" +
                             // Room 11: empty short name, empty description, no exits, dark.
                             "3\n4.\n50" +
                             // Room 12: renamed region, description kept from room 10's first line.
                             "1cellar_2\n0" + "0";
  const RunResult run = runInProcess(script);
  ASSERT_EQ(run.status, 0);

  writeFile(dir.file("server.h"), kServerStandIn);
  writeFile(dir.file("harness.c"), kHarness);
  // Strict C89 reads trigraphs; GNU C does not. Both must see the same text.
  const RunResult compile =
      runShell("cc -std=gnu89 -o harness harness.c 2>&1 && cc -std=c89 -o harness89 harness.c 2>&1",
               dir.path());
  ASSERT_EQ(compile.status, 0) << compile.out << readFile(dir.file("rooms.c"));

  // Room 10's command words, then something else, are given to request 2.
  const std::string shellWord2 = "'\"lever\\'";
  const RunResult harness = runShell("./harness pull " + shellWord2, dir.path());
  ASSERT_EQ(harness.status, 0);
  const RunResult harness89 = runShell("./harness89 pull " + shellWord2, dir.path());
  EXPECT_EQ(harness89.out, harness.out);

  const std::string desc10 = line1 + "\n\n" + line3 + "\ntab\there\n" + trigraphs + "\n";
  std::vector<int> exits10(12, -1);
  exits10[0] = 11;
  exits10[5] = 12;
  exits10[11] = 99;
  const std::string noExits = links(std::vector<int>(12, -1));
  const std::string expected =
      "room 4 0 0 1 1 0 0 2 []\n"
      "U[" +
      shortName + "\n]U[" + desc10 + "]E[" + links(exits10) + "] ->0\n" + links(exits10) + "\n" +
      "U[" + response + "\n\n] ->1\n ->0\n" + "R10[" + event + "\n] ->0\n" + "U[" + shortName +
      "\n]E[" + links(exits10) + "] ->0\n" +
      " ->0\n"
      "room 4 0 0 0 1 0 0 2 []\n"
      "U[\n]U[]E[" +
      noExits + "] ->0\n" + noExits + "\n ->0\n ->0\n ->0\nU[\n]E[" + noExits +
      "] ->0\n ->0\n"
      "room 4 0 0 1 1 0 0 2 []\n"
      "U[\n]U[" +
      line1 + "\n]E[" + noExits + "] ->0\n" + noExits + "\n ->0\n ->0\n ->0\nU[\n]E[" + noExits +
      "] ->0\n ->0\n";
  EXPECT_EQ(harness.out, expected);
  EXPECT_EQ(readFile(dir.file("rooms.dat")).substr(0, 11), "innl_10,4,0");
  EXPECT_NE(readFile(dir.file("rooms.dat")).find("cellar_2l_12,4,"), std::string::npos);
}

// A room file that a transfer rewrote with edits compiles and says what was
// typed, like one that an area build wrote.
TEST(GeneratedCode, ATransferWithEditsStillCompiles) {
  TempDir dir;
  const RunResult build = runInProcess("1" + dir.file("old.c") + "\n" + dir.file("old.dat") +
                                       "\n1 2\ny" + "town\n3\nn1\n" + "3Square\n0" + "0");
  ASSERT_EQ(build.status, 0);
  const RunResult run = runInProcess("3" + dir.file("old.c") + "\n" + dir.file("old.dat") + "\n" +
                                     dir.file("rooms.c") + "\n" + dir.file("rooms.dat") + "\n\n" +
                                     "3The \"Well\" ?\?!\n4Deep \\ dark.\n.\n28 2\n5" +
                                     "81\npull\nSplash.\n.\n71\nEcho.\n" + "1well\n0" + "0" + "0");
  ASSERT_EQ(run.status, 0);
  writeFile(dir.file("server.h"), kServerStandIn);
  writeFile(dir.file("harness.c"), kHarness);
  const RunResult compile = runShell("cc -std=c89 -o harness harness.c 2>&1", dir.path());
  ASSERT_EQ(compile.status, 0) << compile.out << readFile(dir.file("rooms.c"));
  const RunResult harness = runShell("./harness pull", dir.path());
  ASSERT_EQ(harness.status, 0);
  EXPECT_NE(harness.out.find("U[The \"Well\" ?\?!\n]U[Deep \\ dark.\n]E[2,"), std::string::npos)
      << harness.out;
  EXPECT_NE(harness.out.find("U[Splash.\n] ->1\n ->0\nR1[Echo.\n] ->0"), std::string::npos)
      << harness.out;
  EXPECT_EQ(readFile(dir.file("rooms.dat")).substr(0, 10), "welll_1,3,");
}

// Rooms copied with `roombuilder copy` are real code too: every copy
// compiles and sends its original's texts, its event to its own number.
TEST(GeneratedCode, CopiedRoomsStillCompile) {
  TempDir dir;
  const RunResult build =
      runInProcess("1" + dir.file("rooms.c") + "\n" + dir.file("rooms.dat") + "\n1 2\ny" +
                   "town\n3\nn1\n" + "3The \"Well\" ?\?!\n4Deep \\ dark.\n.\n28 2\n5" +
                   "81\npull\nSplash.\n.\n71\nEcho.\n0" + "3Yard\n22 1\n50" + "0");
  ASSERT_EQ(build.status, 0);
  const RunResult copy = runBinary("", dir.path(), {"copy", "1-2", "5", "rooms.c", "rooms.dat"});
  ASSERT_EQ(copy.status, 0) << copy.err;
  writeFile(dir.file("server.h"), kServerStandIn);
  writeFile(dir.file("harness.c"), kHarness);
  const RunResult compile = runShell("cc -std=c89 -o harness harness.c 2>&1", dir.path());
  ASSERT_EQ(compile.status, 0) << compile.out << readFile(dir.file("rooms.c"));
  const RunResult harness = runShell("./harness pull", dir.path());
  ASSERT_EQ(harness.status, 0);
  // Room 5, the copy of room 1: its texts, its exit to room 6 (the copy of
  // room 2), and its event sent to room 5.
  EXPECT_NE(harness.out.find("U[The \"Well\" ?\?!\n]U[Deep \\ dark.\n]E[6,"), std::string::npos)
      << harness.out;
  EXPECT_NE(harness.out.find("R5[Echo.\n] ->0"), std::string::npos) << harness.out;
  EXPECT_NE(harness.out.find("R1[Echo.\n] ->0"), std::string::npos) << harness.out;
  EXPECT_NE(readFile(dir.file("rooms.dat")).find("townl_5,3,"), std::string::npos);
}

}  // namespace
}  // namespace rb::test
