#include "terminal/line_editor.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "base/utf8.h"
#include "virtual_terminal.h"

namespace rb {
namespace {

using test::VirtualTerminal;

const std::string kLeft = "\x1b[D", kRight = "\x1b[C", kHome = "\x1b[H", kEnd = "\x1b[F",
                  kUp = "\x1b[A", kDown = "\x1b[B", kDelete = "\x1b[3~", kBackspace = "\x7f";

// The editor fed one key at a time, its output kept; `beforeKey` runs each
// time the editor waits for the next key.
struct EditorRun {
  EditorRun(std::vector<std::string> keysToSend, int width = 80)
      : keys(std::move(keysToSend)),
        queue([this](std::string& into) {
          if (beforeKey) beforeKey();
          if (next == this->keys.size()) return false;
          into += this->keys[next++];
          return true;
        }),
        editor(
            queue, -1, [this](std::string_view text) { out += text; }, [width] { return width; }) {}

  bool edit(std::string_view prompt, std::size_t limit, std::string& line,
            const LineHistory::Lines* history = nullptr, bool secret = false) {
    LineEditor::Request request;
    request.prompt = prompt;
    request.limit = limit;
    request.history = history;
    request.secret = secret;
    return editor.edit(request, line);
  }

  std::vector<std::string> keys;
  std::size_t next = 0;
  std::function<void()> beforeKey;
  std::string out;
  ByteQueue queue;
  LineEditor editor;
};

std::string editLine(const std::vector<std::string>& keys, std::size_t limit = 99) {
  EditorRun run(keys);
  std::string line;
  EXPECT_TRUE(run.edit("> ", limit, line));
  return line;
}

TEST(LineEditor, PlainTypingShowsWhatTheTerminalsEchoWould) {
  EditorRun run({"a", "b", "\xc3\xa9", "\t", "c", "\r"});
  std::string line;
  ASSERT_TRUE(run.edit("Enter temporary region name:\t", 19, line));
  EXPECT_EQ(line, "ab\xc3\xa9\tc");
  EXPECT_EQ(run.out, "ab\xc3\xa9\tc\n");
}

TEST(LineEditor, EditingKeys) {
  EXPECT_EQ(editLine({"a", "c", kLeft, "b", "\r"}), "abc");
  EXPECT_EQ(editLine({"b", "c", kHome, "a", kEnd, "d", "\r"}), "abcd");
  EXPECT_EQ(editLine({"b", "c", "\x01", "a", "\x05", "d", "\n"}), "abcd");  // Ctrl-A, Ctrl-E
  EXPECT_EQ(editLine({"a", "b", "c", kLeft, kBackspace, kLeft, kDelete, "\r"}), "c");
  EXPECT_EQ(editLine({"a", "b", "c", kLeft, "\x04", "\r"}), "ab");        // Ctrl-D deletes here
  EXPECT_EQ(editLine({"a", "b", "c", kLeft, "\x15", "\r"}), "c");         // Ctrl-U
  EXPECT_EQ(editLine({"a", "b", "c", kLeft, kLeft, "\x0b", "\r"}), "a");  // Ctrl-K
  EXPECT_EQ(editLine({"o", "n", "e", " ", " ", "t", "w", "o", " ", "\x17", "\r"}), "one  ");
  // Keys that mean nothing here insert nothing: F5, Insert, Page Up, ESC, Ctrl-G.
  EXPECT_EQ(editLine({"a", "\x1b[15~", "\x1b[2~", "\x1b[5~", "\x1b", "\x07", "\x1b[[A", "b", "\r"}),
            "ab");
  // The application keypad's keys type what they are labelled with.
  EXPECT_EQ(editLine({"\x1bOq", "\x1bOm", "\x1bOn", "\r"}), "1-.");
  // A terminal that sends CR LF for Enter: one line, the LF is not the next.
  EditorRun crlf({"x", "\r\n", "y", "\r"});
  std::string line;
  ASSERT_TRUE(crlf.edit("", 99, line));
  EXPECT_EQ(line, "x");
  ASSERT_TRUE(crlf.edit("", 99, line));
  EXPECT_EQ(line, "y");
}

TEST(LineEditor, CharactersAreStepsAndLatin1BytesStayBytes) {
  // Left over a wide character and over a letter with a combining accent.
  EXPECT_EQ(editLine({"\xe6\x97\xa5", "e\xcc\x81", kLeft, "x", kLeft, kLeft, "y", "\r"}),
            "y\xe6\x97\xa5xe\xcc\x81");
  EXPECT_EQ(editLine({"\xf0\x9d\x84\x9e", "a", kLeft, kLeft, kBackspace, "\r"}),
            "\xf0\x9d\x84\x9e"
            "a");
  // An 0xE9 followed by an ASCII letter is Latin-1: two characters.
  EXPECT_EQ(editLine({"\xe9", "x", kLeft, kLeft, "<", "\r"}), "<\xe9x");
}

TEST(LineEditor, RefusesWhatWouldPassTheLimitWithABell) {
  EditorRun run({"a", "b", "c", "d", "\xc3\xa9", "\r"});
  std::string line;
  ASSERT_TRUE(run.edit("", 4, line));
  EXPECT_EQ(line, "abcd");
  EXPECT_EQ(run.out, "abcd\a\n");
  // A two-byte character does not fit into one byte left, and what is
  // typed after it is refused too (a paste never keeps a text not typed),
  // until a key that is no character.
  EditorRun pasted({"a", "b", "c", "\xc3\xa9", "d", "e", "\r"});
  ASSERT_TRUE(pasted.edit("", 4, line));
  EXPECT_EQ(line, "abc");
  EXPECT_EQ(pasted.out, "abc\a\n");
  EXPECT_EQ(editLine({"a", "b", "c", "\xc3\xa9", "d", kLeft, kRight, "d", "\r"}, 4), "abcd");
}

TEST(LineEditor, UpAndDownRecallEarlierLines) {
  const LineHistory::Lines history = {"first.c", "second.c", std::string(30, 'x')};
  EditorRun run({"new", kUp, kUp, kDown, kDown, kUp, kUp, "!", "\r"});
  std::string line;
  ASSERT_TRUE(run.edit("", 20, line, &history));
  EXPECT_EQ(line, "second.c!");
  // Down past the newest line brings back what was being typed; a recalled
  // line is cut to the limit.
  EditorRun back({"new", kUp, kDown, "\r"});
  ASSERT_TRUE(back.edit("", 20, line, &history));
  EXPECT_EQ(line, "new");
  EditorRun longest({kUp, "\r"});
  ASSERT_TRUE(longest.edit("", 20, line, &history));
  EXPECT_EQ(line, std::string(20, 'x'));
  // Up with no history does nothing.
  EXPECT_EQ(editLine({"a", kUp, "\r"}), "a");
}

TEST(LineEditor, CtrlDOnAnEmptyLineAndTheEndOfKeysEndInput) {
  std::string line = "unchanged";
  EditorRun ctrlD({"\x04"});
  EXPECT_FALSE(ctrlD.edit("", 99, line));
  EditorRun cutOff({"a", "b"});
  EXPECT_FALSE(cutOff.edit("", 99, line));
  EXPECT_EQ(line, "unchanged");
}

TEST(LineEditor, SecretLinesShowNothingAndOnlyBackspaceEdits) {
  EditorRun run({"p", "a", "x", kBackspace, kLeft, "s", kHome, "\x15", "s", "\r"});
  std::string line;
  ASSERT_TRUE(run.edit("", 19, line, nullptr, true));
  EXPECT_EQ(line, "pass");
  EXPECT_EQ(run.out, "\n");
}

// The expected screen: the prompt and the line as the terminal wraps them,
// and the cursor on the cell of the character it stands before.
struct Expected {
  std::vector<std::string> rows;
  int row, col;
};

Expected expectedScreen(const std::string& prompt, const std::string& text, std::size_t cursor,
                        int width) {
  VirtualTerminal all(width, 40);
  all.write(prompt + text);
  Expected expected{all.rows(), all.cursorRow(), all.cursorCol()};
  if (cursor < text.size()) {
    VirtualTerminal before(width, 40);
    before.write(prompt + text.substr(0, cursor));
    expected.row = before.cursorRow();
    expected.col = before.cursorCol();
    const int columns = characterColumns(text, cursor);
    if (before.pendingWrap() || before.cursorCol() + columns > width) {
      ++expected.row;
      expected.col = 0;
    }
  }
  return expected;
}

// Random edits on random widths and prompts: after every key the screen
// shows exactly the prompt and the line, with the cursor in its place, and
// the line kept is the one a model of the keys gives.
TEST(LineEditor, ScreenAndLineFollowEveryKeyOnAnyWidth) {
  std::mt19937 random(20261209);
  const std::vector<std::string> characters = {
      "a", "b", "Z", " ", " ", "\xc3\xa9", "\xe6\x97\xa5", "\xf0\x9d\x84\x9e"};
  for (int round = 0; round < 300; ++round) {
    const int width = std::uniform_int_distribution<int>(4, 24)(random);
    const std::string prompt(std::uniform_int_distribution<std::size_t>(0, 40)(random), 'p');
    const std::size_t limit = std::uniform_int_distribution<std::size_t>(3, 60)(random);

    // The model: the line and the cursor after each key.
    std::string text;
    std::size_t cursor = 0;
    bool refusing = false;  // a character was refused: so is every one up to another key
    std::vector<std::string> keys;
    std::vector<Expected> screens;
    const auto previous = [&](std::size_t pos) {
      do
        --pos;
      while (pos > 0 && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80);
      return pos;
    };
    const auto nextPos = [&](std::size_t pos) { return pos + characterLength(text, pos); };
    for (int k = 0; k < 40; ++k) {
      const int what = std::uniform_int_distribution<int>(0, 11)(random);
      std::string key;
      if (what <= 3) {
        key = characters[std::uniform_int_distribution<std::size_t>(0,
                                                                    characters.size() - 1)(random)];
        if (text.size() + key.size() > limit) refusing = true;
        if (!refusing) {
          text.insert(cursor, key);
          cursor += key.size();
        }
      } else if (what == 4) {
        key = kLeft;
        if (cursor > 0) cursor = previous(cursor);
      } else if (what == 5) {
        key = kRight;
        if (cursor < text.size()) cursor = nextPos(cursor);
      } else if (what == 6) {
        key = kHome;
        cursor = 0;
      } else if (what == 7) {
        key = kEnd;
        cursor = text.size();
      } else if (what == 8) {
        key = kBackspace;
        if (cursor > 0) {
          const std::size_t from = previous(cursor);
          text.erase(from, cursor - from);
          cursor = from;
        }
      } else if (what == 9) {
        key = kDelete;
        if (cursor < text.size()) text.erase(cursor, nextPos(cursor) - cursor);
      } else if (what == 10) {
        key = "\x0b";  // Ctrl-K
        text.erase(cursor);
      } else {
        key = "\x17";  // Ctrl-W
        std::size_t from = cursor;
        while (from > 0 && text[from - 1] == ' ')
          --from;
        while (from > 0 && text[from - 1] != ' ')
          --from;
        text.erase(from, cursor - from);
        cursor = from;
      }
      if (what > 3) refusing = false;
      keys.push_back(key);
      screens.push_back(expectedScreen(prompt, text, cursor, width));
    }
    keys.push_back("\r");

    VirtualTerminal screen(width, 40);
    screen.write(prompt);
    EditorRun run(keys, width);
    std::size_t checked = 0;
    run.beforeKey = [&] {
      screen.write(run.out);
      run.out.clear();
      if (run.next == 0) return;
      const Expected& expected = screens[run.next - 1];
      ASSERT_EQ(screen.rows(), expected.rows) << "round " << round << " key " << run.next;
      ASSERT_EQ(screen.cursorRow(), expected.row) << "round " << round << " key " << run.next;
      ASSERT_EQ(screen.cursorCol(), expected.col) << "round " << round << " key " << run.next;
      ++checked;
    };
    std::string line;
    ASSERT_TRUE(run.edit(prompt, limit, line));
    ASSERT_EQ(checked, keys.size() - 1);
    ASSERT_EQ(line, text) << "round " << round;
    // Enter leaves the cursor at the start of the row under the line.
    screen.write(run.out);
    ASSERT_EQ(screen.cursorCol(), 0);
    ASSERT_EQ(screen.cursorRow(), std::max(static_cast<int>(screens.back().rows.size()), 1));
  }
}

TEST(LineHistory, KeepsTheLastHundredLinesOfEachKindWithoutEmptyLinesOrRepeats) {
  LineHistory history;
  for (int i = 0; i < 150; ++i)
    history.add(LineKind::Number, std::to_string(i));
  history.add(LineKind::Number, "149");
  history.add(LineKind::Number, "");
  history.add(LineKind::FileName, "rooms.c");
  const LineHistory::Lines& numbers = history.lines(LineKind::Number);
  ASSERT_EQ(numbers.size(), LineHistory::kMaxLines);
  EXPECT_EQ(numbers.front(), "50");
  EXPECT_EQ(numbers.back(), "149");
  EXPECT_EQ(history.lines(LineKind::FileName), LineHistory::Lines{"rooms.c"});
}

}  // namespace
}  // namespace rb
