// The texts of the rooms as players will read them, for `check`: short
// names, description lines, command response lines and event texts.
//
// - Width (-Wwidth): a line wider than 79 columns on screen (a wide
//   character takes two, a combining mark none, a tab runs to the next
//   multiple of 8), measured with utf8proc.
// - Spacing (-Wspacing): blanks at the end of a line, two blanks in a row
//   inside one, a tab in a short name.
// - Doubled words (-Wdoubled): one word twice in a row, letters compared
//   without case.
// - Spelling (-Wspelling): a word the dictionary does not know, with up to
//   three suggestions. A word is a run of letters (apostrophes inside it
//   allowed); numbers and words holding digits or underscores are no words.
//   Accepted are the words of a word list and the capitalised words of the
//   world's short names (the names of its places), and their possessives.
//   Suggestions are looked for the first 1,000 distinct words only (each
//   takes Hunspell tens of milliseconds).
// - Same texts (-Wsame-text): a room whose short name and description
//   lines are an earlier room's, the mark of a room saved without texts of
//   its own.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "format/area_reader.h"
#include "format/room_model.h"
#include "tools/check/check_options.h"
#include "tools/check/speller.h"
#include "tools/check/world_check.h"
#include "world/world.h"

namespace rb {

// A piece of a line: a run of the characters words are made of (letters,
// their marks, digits, underscores, apostrophes).
struct TextToken {
  std::string_view text;     // less the apostrophes around it
  bool word = false;         // letters and inner apostrophes only
  bool afterBlanks = false;  // only blanks between it and the token before
};

// The words of a word list: one a line, "#" starting a comment to the end of
// the line.
std::unordered_set<std::string> wordList(std::string_view text);

class TextChecks {
 public:
  // `speller` may be null (no spelling); `words` are accepted as spelled.
  TextChecks(const CheckOptions& options, Speller* speller, std::unordered_set<std::string> words);

  // Checks the texts of record `record`, whose fields are `room`, read
  // from `text`.
  void check(std::size_t record, const WorkingRoom& room, const RecordText& text);

  // The notes, once every record has been read, in record order: spelling
  // notes on the words of short names dropped, suggestions added, rooms of
  // the same texts named.
  // `world` names the rooms of the same texts (none are looked for without).
  std::vector<TextNote> finish(const World* world);

 private:
  // Checks one line of text; `holder` begins the record's line that holds
  // it; the text is named `label` and `number` (when above 0).
  void checkLine(std::string_view holder, const char* label, int number, std::string_view text,
                 bool shortName);
  // Whether the word list accepts the word, given in lower case.
  bool accepted(const std::string& lower) const;
  // The line of the record being checked that starts with `holder`.
  long long lineOf(std::string_view holder);
  void addSameTexts(const World& world);

  const CheckOptions& options_;
  Speller* speller_;
  std::unordered_set<std::string> words_;       // accepted, in lower case
  std::unordered_set<std::string> placeWords_;  // capitalised words of short names
  std::vector<TextNote> notes_;
  std::vector<std::pair<std::size_t, std::string>> spelling_;  // note index, word

  // A hash of each record's short name and description, with the record:
  // sorted at the end, rooms of one text stand together.
  struct TextHash {
    std::uint32_t high, low, record;
  };
  std::vector<TextHash> textHashes_;

  // The record being checked, its lines found so far, and scratch kept
  // from line to line.
  std::size_t record_ = 0;
  const RecordText* text_ = nullptr;
  std::vector<std::pair<std::string_view, long long>> lines_;
  std::vector<TextToken> tokens_;
  std::string lower_, previous_;
};

}  // namespace rb
