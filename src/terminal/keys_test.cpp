#include "terminal/keys.h"

#include <gtest/gtest.h>

namespace rb {
namespace {

struct Case {
  const char* bytes;
  int key;
  const char* left;  // what stays unread after the key
};

// Reads one key from `bytes` as a pipe delivers them.
std::pair<int, std::string> readOne(const std::string& bytes) {
  ByteQueue in(bytes);
  const int key = readKey(in, -1);
  return {key, std::string(in.buffered())};
}

TEST(Keys, EscapeSequencesAreOneKey) {
  const Case cases[] = {
      {"\x1b[A", kKeyUp, ""},
      {"\x1bOA", kKeyUp, ""},
      {"\x1b[1;5A", kKeyUp, ""},
      {"\x1b[B", kKeyDown, ""},
      {"\x1b[C", kKeyRight, ""},
      {"\x1bOD", kKeyLeft, ""},
      {"\x1b[H", kKeyHome, ""},
      {"\x1bOF", kKeyEnd, ""},
      {"\x1b[1~", kKeyHome, ""},
      {"\x1b[7~", kKeyHome, ""},
      {"\x1b[4~", kKeyEnd, ""},
      {"\x1b[8~", kKeyEnd, ""},
      {"\x1b[5~", kKeyPageUp, ""},
      {"\x1b[6;2~", kKeyPageDown, ""},
      {"\x1b[E", kKeyCentre, ""},
      {"\x1bOE", kKeyCentre, ""},
      {"\x1b[G", kKeyCentre, ""},
      {"\x1b[2~", kKeyInsert, ""},
      {"\x1b[3~", kKeyDelete, ""},
      {"\x1b[15~", kKeyOther, ""},
      {"\x1bOP", kKeyOther, ""},
      {"\x1bO5P", kKeyOther, ""},
      {"\x1b[[A", kKeyOther, ""},
      {"\x1b[?1;2c", kKeyOther, ""},
      {"\x1bOp", '0', ""},
      {"\x1bOy", '9', ""},
      {"\x1bOt", '4', ""},
      {"\x1bOM", '\r', ""},
      // Control strings, whole with their terminators: OSC to BEL or ST,
      // DCS, SOS, PM and APC to ST; cut short by a line break, an ESC that
      // begins something else, or the end; CAN ends one.
      {"\x1b]0;title\ax", kKeyOther, "x"},
      {"\x1b]8;;http://x\x1b\\y", kKeyOther, "y"},
      {"\x1bPq#0;2;0;0;0\ax\x1b\\z", kKeyOther, "z"},  // BEL does not end a DCS
      {"\x1bXsos\x1b\\", kKeyOther, ""},
      {"\x1b^pm\x1b\\", kKeyOther, ""},
      {"\x1b_apc\x1b\\", kKeyOther, ""},
      {"\x1b]0;no end\nnext", kKeyOther, "\nnext"},
      {"\x1b]0;t\x1b[A", kKeyOther, "\x1b[A"},
      {"\x1b]0;t\x18x", kKeyOther, "x"},
      {"\x1b]0;cut", kKeyOther, ""},
      // ESC, intermediate bytes and a final byte; ESC and one byte.
      {"\x1b(Bx", kKeyOther, "x"},
      {"\x1b#"
       "8",
       kKeyOther, ""},
      {"\x1b(\n", kKeyOther, "\n"},
      {"\x1b"
       "cx",
       kKeyOther, "x"},
      {"\x1b"
       "7",
       kKeyOther, ""},
      {"\x1bx", kKeyOther, ""},
      {"\x1b\\", kKeyOther, ""},
      // ESC and a byte that starts no sequence: a lone ESC, then that byte.
      {"\x1b\x1b[A", kEscape, "\x1b[A"},
      {"\x1b\n", kEscape, "\n"},
      {"\x1b\x7f", kEscape, "\x7f"},
      {"\x1b\xc3\xa9", kEscape, "\xc3\xa9"},
      // A byte that cannot belong to the sequence ends it; it is the next key.
      {"\x1b[1\n", kKeyOther, "\n"},
      {"\x1bO\n", kKeyOther, "\n"},
      // Cut off by the end of input: one key, nothing left.
      {"\x1b[", kKeyOther, ""},
      {"\x1b[1;", kKeyOther, ""},
      {"\x1bO", kKeyOther, ""},
      {"\x1b[[", kKeyOther, ""},
      {"\x1b", kEscape, ""},
      {"a\x1b[A", 'a', "\x1b[A"},
      {"\xe9", 0xe9, ""},
  };
  for (const Case& c : cases) {
    const auto [key, left] = readOne(c.bytes);
    EXPECT_EQ(key, c.key) << testing::PrintToString(std::string(c.bytes));
    EXPECT_EQ(left, c.left) << testing::PrintToString(std::string(c.bytes));
  }
  ByteQueue empty("");
  EXPECT_EQ(readKey(empty, -1), -1);
}

TEST(Keys, KeypadDigitsWithNumLockOnOrOff) {
  const std::pair<int, int> keypad[] = {
      {kKeyUp, '8'},         {kKeyDown, '2'},   {kKeyRight, '6'}, {kKeyLeft, '4'},
      {kKeyHome, '7'},       {kKeyPageUp, '9'}, {kKeyEnd, '1'},   {kKeyPageDown, '3'},
      {kKeyCentre, '5'},     {'8', '8'},        {'u', 'u'},       {kKeyInsert, kKeyInsert},
      {kKeyOther, kKeyOther}};
  for (const auto& [key, digit] : keypad)
    EXPECT_EQ(keypadDigit(key), digit) << key;
}

TEST(Keys, ATerminalsLoneEscapeDoesNotWaitForever) {
  // A queue whose waiter says nothing more is coming: the ESC press alone.
  bool waited = false;
  ByteQueue typed(
      [&, sent = false](std::string& into) mutable {
        if (sent) return false;
        into = "\x1b";
        sent = true;
        return true;
      },
      [&](int ms) {
        waited = ms == 100;
        return false;
      });
  EXPECT_EQ(readKey(typed, 100), kEscape);
  EXPECT_TRUE(waited);
  EXPECT_FALSE(typed.ended());
}

}  // namespace
}  // namespace rb
