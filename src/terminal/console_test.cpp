#include "terminal/console.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "base/utf8.h"
#include "terminal/keys.h"

namespace rb {
namespace {

TEST(ConsoleReadLine, OverLongLineIsCutAndItsTailLost) {
  Console con("abcdefghijklmno\nnext line\n");
  EXPECT_EQ(con.readLine(13), "abcdefghijkl");
  // The line typed ahead still answers the next prompt.
  EXPECT_EQ(con.readLine(13), "next line");
}

TEST(ConsoleReadLine, LineOfExactlySizeMinusOneKeepsTheNextLine) {
  Console con("abcdefghijkl\nrest\n");
  EXPECT_EQ(con.readLine(13), "abcdefghijkl");
  EXPECT_EQ(con.readLine(13), "rest");
}

TEST(ConsoleReadLine, CarriageReturnBeforeLineBreakBelongsToTheLineBreak) {
  Console con("dos\r\nin\rside\r\n\r\nlast\r");
  EXPECT_EQ(con.readLine(20), "dos");
  EXPECT_EQ(con.readLine(20), "in\rside");
  EXPECT_EQ(con.readLine(20), "");
  // Not followed by a line break: an ordinary character.
  EXPECT_EQ(con.readLine(20), "last\r");
}

TEST(ConsoleReadLine, CarriageReturnAtTheCutIsDropped) {
  Console con("abcd\r\nabc\r\n");
  EXPECT_EQ(con.readLine(5), "abcd");
  EXPECT_EQ(con.readLine(5), "abc");
}

TEST(ConsoleReadLine, TextEndsAtNulByte) {
  Console con(std::string("ab\0cd\nnext\n", 11));
  EXPECT_EQ(con.readLine(20), "ab");
  EXPECT_EQ(con.readLine(20), "next");
}

TEST(ConsoleReadLine, LastLineWithoutLineBreakThenEnd) {
  Console con("first\nlast");
  EXPECT_EQ(con.readLine(20), "first");
  EXPECT_EQ(con.readLine(20), "last");
  EXPECT_THROW(con.readLine(20), EndOfInput);
}

TEST(ConsoleReadLine, EscapeSequencesAreNoText) {
  // Arrow keys, a keypad key, a lone ESC, ESC with another byte, a title
  // (OSC), a sequence cut off by the line break; other control bytes stay.
  Console con("ab\x1b[Dc\x1bOAd\x1b\nx\x1byz\x1b]0;title\a\x1b[1;5C\x01\n\x1b[1\nlast\x1b[");
  EXPECT_EQ(con.readLine(100), "abcd");
  EXPECT_EQ(con.readLine(100), "xz\x01");
  EXPECT_EQ(con.readLine(100), "");
  EXPECT_EQ(con.readLine(100), "last");
  // The limit counts the text kept, not the sequences left out.
  Console limited("\x1b[A\x1b[Babc\x1b[Cdef\n");
  EXPECT_EQ(limited.readLine(5), "abcd");
}

TEST(ConsoleReadLine, CutsAtACharacterBoundary) {
  std::string thirty;
  for (int i = 0; i < 30; ++i)
    thirty += "\xc3\xa9";
  Console con(thirty + "\n" + "ab\xe6\x97\xa5\n" + "abc\xf0\x9d\x84\x9e\n" + "abcd\xe9xyz\n" +
              "abcd\xc3\xa9\n");
  EXPECT_EQ(con.readLine(50), thirty.substr(0, 48));  // 24 characters, not 24.5
  EXPECT_EQ(con.readLine(5), "ab");                   // a three-byte character straddles
  EXPECT_EQ(con.readLine(5), "abc");                  // a four-byte one
  EXPECT_EQ(con.readLine(6), "abcd\xe9");             // Latin-1 is kept byte for byte
  EXPECT_EQ(con.readLine(7), "abcd\xc3\xa9");         // a character ending at the limit
}

TEST(ConsoleGetch, AnEscapeSequenceIsOneKey) {
  Console con("\x1b[A\x1bOq\x1b[1;5D\x1bx\x1b\n\x1b[");
  EXPECT_EQ(con.getch(), kKeyUp);
  EXPECT_EQ(con.getch(), '1');
  EXPECT_EQ(con.getch(), kKeyLeft);
  EXPECT_EQ(con.getch(), kKeyOther);  // Alt+x
  EXPECT_EQ(con.getch(), kEscape);
  EXPECT_EQ(con.getch(), '\n');
  EXPECT_EQ(con.getch(), kKeyOther);  // cut off by the end of input
  EXPECT_THROW(con.getch(), EndOfInput);
}

TEST(ConsoleGetch, LineBreakAfterAKeyIsTheNextKey) {
  Console con("y\nz");
  EXPECT_EQ(con.getch(), 'y');
  EXPECT_EQ(con.getch(), '\n');
  EXPECT_EQ(con.getch(), 'z');
  EXPECT_THROW(con.getch(), EndOfInput);
}

TEST(ConsoleGetch, ReturnsBytesAsNonNegativeValues) {
  Console con("\xe9");
  EXPECT_EQ(con.getch(), 0xe9);
}

TEST(ConsoleReadInt, SkipsBlanksAndLineBreaksAndLeavesTheRestOfTheLine) {
  Console con("  \n\t 42 apples\n");
  int value = 0;
  con.readInt(value);
  EXPECT_EQ(value, 42);
  EXPECT_EQ(con.readLine(20), " apples");
}

TEST(ConsoleReadInt, TextThatIsNotANumberKeepsTheValue) {
  Console con("abc\n7\n");
  int value = 5;
  con.readInt(value);
  EXPECT_EQ(value, 5);
  EXPECT_EQ(con.readLine(20), "abc");
  con.readInt(value);
  EXPECT_EQ(value, 7);
}

TEST(ConsoleReadInt, AFailedReadLeavesTheSameTextForTheNextRead) {
  // Two numbers read one after the other from a line that holds none.
  Console con("abc\n");
  int first = 3, last = 4;
  con.readInt(first);
  con.readInt(last);
  EXPECT_EQ(first, 3);
  EXPECT_EQ(last, 4);
  EXPECT_EQ(con.readLine(20), "abc");
}

TEST(ConsoleReadInt, SignsAndRangeEnds) {
  Console con(
      "-17 +8 - 2147483647 -2147483648 2147483648 -99999999999999999999 "
      "123456789012345678901234567890\n");
  int value = 0;
  con.readInt(value);
  EXPECT_EQ(value, -17);
  con.readInt(value);
  EXPECT_EQ(value, 8);
  con.readInt(value);  // a lone sign is not a number
  EXPECT_EQ(value, 8);
  con.readInt(value);
  EXPECT_EQ(value, INT_MAX);
  con.readInt(value);
  EXPECT_EQ(value, INT_MIN);
  con.readInt(value);  // beyond the range: clamped, never garbage
  EXPECT_EQ(value, INT_MAX);
  con.readInt(value);
  EXPECT_EQ(value, INT_MIN);
  con.readInt(value);
  EXPECT_EQ(value, INT_MAX);
}

TEST(ConsoleReadInt, EndOfInputWhileWaitingForANumber) {
  Console con("  \n\n");
  int value = 1;
  EXPECT_THROW(con.readInt(value), EndOfInput);
  EXPECT_EQ(value, 1);
}

TEST(ConsoleReadFloat, DecimalForms) {
  Console con("0.25 .5 3. 1e-7 2.5E+2 -0.1 7\n");
  float value = 0;
  con.readFloat(value);
  EXPECT_FLOAT_EQ(value, 0.25f);
  con.readFloat(value);
  EXPECT_FLOAT_EQ(value, 0.5f);
  con.readFloat(value);
  EXPECT_FLOAT_EQ(value, 3.0f);
  con.readFloat(value);
  EXPECT_FLOAT_EQ(value, 1e-7f);
  con.readFloat(value);
  EXPECT_FLOAT_EQ(value, 250.0f);
  con.readFloat(value);
  EXPECT_FLOAT_EQ(value, -0.1f);
  con.readFloat(value);
  EXPECT_FLOAT_EQ(value, 7.0f);
}

TEST(ConsoleReadFloat, RoundsLikeTheStandardConversion) {
  Console con("0.1 0.30000001 1.00000005960464477539062500001\n");
  float value = 0;
  con.readFloat(value);
  EXPECT_EQ(value, 0.1f);
  con.readFloat(value);
  EXPECT_EQ(value, 0.30000001f);
  con.readFloat(value);
  EXPECT_EQ(value, 1.00000011920928955078125f);  // just past the halfway point rounds up
}

// Numbers with far more significant digits than are kept: exactly the
// halfway points between neighbouring floats, and just above and below
// them, round as the C library rounds the whole text.
TEST(ConsoleReadFloat, LongNumbersRoundAsTheCLibraryDoes) {
  std::mt19937 random(42);
  int longOnes = 0;
  for (int round = 0; round < 3000; ++round) {
    const int exponent = std::uniform_int_distribution<int>(-140, 120)(random);
    const float f = std::ldexp(std::uniform_real_distribution<float>(1.0f, 2.0f)(random), exponent);
    if (!std::isfinite(f) || f == 0.0f) continue;
    // The halfway point has one bit more than a float and fits a double.
    const double half = (static_cast<double>(f) + std::nextafter(f, FLT_MAX)) / 2;
    char exact[800];
    std::snprintf(exact, sizeof exact, "%.700e", half);
    std::string mantissa(exact, std::strchr(exact, 'e'));
    const std::string power = std::strchr(exact, 'e');
    while (mantissa.back() == '0')
      mantissa.pop_back();
    if (mantissa.size() > 42) ++longOnes;
    const std::string below = mantissa.substr(0, mantissa.size() - 1) +
                              std::to_string(mantissa.back() - '0' - 1) + "9999" + power;
    for (const std::string& text :
         {mantissa + power, mantissa + "000000000000000000001" + power, below}) {
      Console con(text + "\n");
      float value = 0;
      con.readFloat(value);
      const float expected = std::strtof(text.c_str(), nullptr);
      ASSERT_EQ(value, std::min(expected, FLT_MAX)) << text;
    }
  }
  EXPECT_GT(longOnes, 1000);  // most cases are longer than the old 40 digits
}

TEST(ConsoleReadFloat, NotANumberKeepsTheValueAndTheText) {
  Console con("abc\n. x\ninf\n");
  float value = 0.5f;
  con.readFloat(value);
  EXPECT_EQ(value, 0.5f);
  EXPECT_EQ(con.readLine(20), "abc");
  con.readFloat(value);
  EXPECT_EQ(value, 0.5f);
  EXPECT_EQ(con.readLine(20), ". x");
  // Infinity cannot be written into a room file, so it is not a number here.
  con.readFloat(value);
  EXPECT_EQ(value, 0.5f);
  EXPECT_EQ(con.readLine(20), "inf");
}

TEST(ConsoleReadFloat, ExponentWithoutDigitsStaysUnread) {
  Console con("2e x\n");
  float value = 0;
  con.readFloat(value);
  EXPECT_EQ(value, 2.0f);
  EXPECT_EQ(con.readLine(20), "e x");
}

TEST(ConsoleReadFloat, HugeAndTinyNumbers) {
  const std::string manyDigits(5000, '9');
  const std::string manyZeros = "0." + std::string(5000, '0') + "1";
  Console con("1e39 -1e999999999 " + manyDigits + " " + manyZeros + " 0000000000000.5\n");
  float value = 0;
  con.readFloat(value);
  EXPECT_EQ(value, FLT_MAX);
  con.readFloat(value);
  EXPECT_EQ(value, -FLT_MAX);
  con.readFloat(value);
  EXPECT_EQ(value, FLT_MAX);
  con.readFloat(value);
  EXPECT_EQ(value, 0.0f);
  con.readFloat(value);
  EXPECT_EQ(value, 0.5f);
}

TEST(ConsoleOutput, PrintsTextAndNumbers) {
  Console con("");
  con.print("room ", 100, ' ', -7, " of ", 2147483647LL, "\n");
  EXPECT_EQ(con.output(), "room 100 -7 of 2147483647\n");
}

// On real descriptors, what was printed is on the screen before a read waits.
TEST(ConsoleOutput, FlushedBeforeEveryRead) {
  int in[2], out[2];
  ASSERT_EQ(pipe(in), 0);
  ASSERT_EQ(pipe(out), 0);
  {
    Console con(in[0], out[1]);
    con.print("prompt\n");
    ASSERT_EQ(write(in[1], "k", 1), 1);
    EXPECT_EQ(con.getch(), 'k');
    char buf[32] = {};
    EXPECT_EQ(read(out[0], buf, sizeof buf), 7);
    EXPECT_STREQ(buf, "prompt\n");
    close(in[1]);
    EXPECT_THROW(con.getch(), EndOfInput);
  }
  close(in[0]);
  close(out[0]);
  close(out[1]);
}

}  // namespace
}  // namespace rb
