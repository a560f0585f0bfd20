#include "tools/check/text_checks.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "format/room_record.h"

namespace rb {
namespace {

// The notes on one room whose description is `lines`, named `name`.
std::vector<std::string> notesOn(const std::string& name, std::vector<std::string> lines,
                                 Speller* speller = nullptr,
                                 std::unordered_set<std::string> words = {},
                                 const std::string& otherName = "", CheckOptions options = {}) {
  TextChecks checks(options, speller, std::move(words));
  WorkingRoom room;
  room.room = 5;
  room.tempregionname = "r";
  room.shortname = name;
  room.exitd.fill(kNoExit);
  room.lines = static_cast<int>(lines.size()) - 1;
  for (std::size_t i = 0; i < lines.size(); ++i)
    room.ldesc[i] = lines[i];
  const std::string text = roomRecord(room);
  RecordText record;
  record.text = text;
  record.line = 1;
  checks.check(0, room, record);
  if (!otherName.empty()) {
    WorkingRoom other = room;
    other.shortname = otherName;
    other.lines = -1;
    checks.check(1, other, record);
  }
  std::vector<std::string> said;
  for (const TextNote& note : checks.finish(nullptr)) {
    EXPECT_EQ(note.line, 8);  // the look line
    said.push_back(note.text + " [" + std::string(warningName(note.kind)) + "]");
  }
  return said;
}

TEST(TextChecks, WidthAsTheScreenShowsIt) {
  const std::string wide = "\xe6\x97\xa5";    // two columns
  const std::string combining = "e\xcc\x81";  // e and an accent: one column
  const auto widths =
      notesOn("Hall", {std::string(79, 'a'), std::string(80, 'a'), std::string(77, 'a') + wide,
                       std::string(78, 'a') + wide, std::string(79, 'a') + "\xcc\x81",
                       "\t" + std::string(71, 'a'), "\t" + std::string(72, 'a'),
                       std::string(78, 'a') + combining});
  EXPECT_EQ(widths, (std::vector<std::string>{
                        "description line 2: 80 columns wide, more than 79 [width]",
                        "description line 4: 80 columns wide, more than 79 [width]",
                        "description line 7: 80 columns wide, more than 79 [width]",
                    }));
}

TEST(TextChecks, SpacingAndDoubledWords) {
  EXPECT_EQ(notesOn("The\tHall", {"A wide hall. ", "Its  roof is high.", "  Indented, and fine.",
                                  "The the end.", "It is is.", "Not the, the other."}),
            (std::vector<std::string>{
                "short name: a tab [spacing]",
                "description line 1: blanks at the end [spacing]",
                "description line 2: two blanks in a row [spacing]",
                "description line 4: 'the' twice in a row [doubled]",
                "description line 5: 'is' twice in a row [doubled]",
            }));
}

TEST(TextChecks, SpellingWithSuggestionsAndTheWordsAccepted) {
  auto speller = Speller::open("en_US");
  ASSERT_TRUE(speller) << "the en_US dictionary (hunspell-en-us) is not installed";
  // Words of a word list, capitalised words of any short name (here of
  // another room, read after this one), an apostrophe inside a word, numbers
  // and words with digits or underscores: all accepted or no words.
  const auto said = notesOn("Hall",
                            {"A fountian near Varneth and Krell's keep, don't.",
                             "Room 42 of area_5 and x2 stay.", "the varneth gate"},
                            speller.get(), {"krell"}, "Gates of Varneth");
  EXPECT_EQ(said, (std::vector<std::string>{
                      "description line 1: 'fountian' is not in the dictionary (fountain, "
                      "foundation?) [spelling]",
                      "description line 3: 'varneth' is not in the dictionary (carnet?) [spelling]",
                  }));
  EXPECT_FALSE(Speller::open("xx_XX"));
  EXPECT_FALSE(Speller::open("../en_US"));
  const std::vector<std::string> installed = Speller::installed();
  EXPECT_NE(std::find(installed.begin(), installed.end(), "en_US"), installed.end());
  // The program's own texts are British: en_GB is installed beside en_US.
  auto british = Speller::open("en_GB");
  ASSERT_TRUE(british) << "hunspell-en-gb is not installed";
  EXPECT_TRUE(british->knows("colour"));
  EXPECT_FALSE(speller->knows("colour"));
}

// Words of letters outside the dictionary's alphabet are not its to judge;
// suggestions are looked for a limited number of words, or none.
TEST(TextChecks, WhatTheDictionaryJudgesAndSuggests) {
  auto speller = Speller::open("en_US");
  ASSERT_TRUE(speller);
  EXPECT_EQ(
      notesOn(
          "Hall",
          {"The \xce\xbb\xcf\x8c\xce\xb3\xce\xbf\xcf\x82 of \xe6\xbc\xa2\xe5\xad\x97 fountian."},
          speller.get()),
      (std::vector<std::string>{"description line 1: 'fountian' is not in the dictionary "
                                "(fountain, foundation?) [spelling]"}));
  CheckOptions few;
  few.suggestedWords = 1;
  EXPECT_EQ(notesOn("Hall", {"A fountian and a gaet, a fountian."}, speller.get(), {}, "", few),
            (std::vector<std::string>{
                "description line 1: 'fountian' is not in the dictionary (fountain, foundation?) "
                "[spelling]",
                "description line 1: 'gaet' is not in the dictionary (no suggestions computed) "
                "[spelling]",
                "description line 1: 'fountian' is not in the dictionary (fountain, foundation?) "
                "[spelling]"}));
  CheckOptions none;
  none.suggestions = false;
  EXPECT_EQ(notesOn("Hall", {"A fountian."}, speller.get(), {}, "", none),
            (std::vector<std::string>{
                "description line 1: 'fountian' is not in the dictionary [spelling]"}));
}

TEST(TextChecks, WordLists) {
  EXPECT_EQ(wordList("Varneth\n# a comment\n  Krell  # the smith\n\nDunmoor\r\n"),
            (std::unordered_set<std::string>{"varneth", "krell", "dunmoor"}));
}

}  // namespace
}  // namespace rb
