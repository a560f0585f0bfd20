#include "tools/check/text_checks.h"

#include <utf8proc.h>

#include <algorithm>
#include <unordered_map>

#include "base/byte_hash.h"
#include "base/text_append.h"
#include "base/utf8.h"
#include "format/record_format.h"

namespace rb {

namespace {

constexpr int kMaxColumns = 79;
constexpr std::size_t kSuggestions = 3;

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

using Token = TextToken;

bool isApostrophe(utf8proc_int32_t c) {
  return c == '\'' || c == 0x2019;
}

// What the character at `pos` is to a word: a letter (or one of its
// marks), a digit or underscore, an apostrophe, or none of these; and how
// many bytes it takes. ASCII is told apart without the Unicode tables.
enum class WordPart { Letter, Digit, Apostrophe, None };

WordPart partAt(std::string_view line, std::size_t pos, std::size_t& length) {
  const auto byte = static_cast<unsigned char>(line[pos]);
  if (byte < 0x80) {
    length = 1;
    if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z')) return WordPart::Letter;
    if ((byte >= '0' && byte <= '9') || byte == '_') return WordPart::Digit;
    return byte == '\'' ? WordPart::Apostrophe : WordPart::None;
  }
  utf8proc_int32_t c = 0;
  const auto got = utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(line.data() + pos),
                                    static_cast<utf8proc_ssize_t>(line.size() - pos), &c);
  if (got <= 0) {
    length = 1;
    return WordPart::None;
  }
  length = static_cast<std::size_t>(got);
  const utf8proc_category_t category = utf8proc_category(c);
  if (category >= UTF8PROC_CATEGORY_LU && category <= UTF8PROC_CATEGORY_ME) return WordPart::Letter;
  if (category == UTF8PROC_CATEGORY_ND) return WordPart::Digit;
  return isApostrophe(c) ? WordPart::Apostrophe : WordPart::None;
}

void tokensOf(std::string_view line, std::vector<Token>& tokens) {
  tokens.clear();
  bool onlyBlanks = false;
  for (std::size_t pos = 0; pos < line.size();) {
    std::size_t end = pos;
    bool letters = false, other = false;
    while (end < line.size()) {
      std::size_t length = 0;
      const WordPart part = partAt(line, end, length);
      if (part == WordPart::None) break;
      letters = letters || part == WordPart::Letter;
      other = other || part == WordPart::Digit;
      end += length;
    }
    if (end == pos) {
      // Not part of a word: blanks keep two words "in a row".
      onlyBlanks = onlyBlanks && isBlank(line[pos]);
      pos += characterLength(line, pos);
      continue;
    }
    std::string_view text = line.substr(pos, end - pos);
    // Apostrophes around a word are quotes, not part of it.
    while (!text.empty() && (text.front() == '\'' || text.substr(0, 3) == "\xE2\x80\x99"))
      text.remove_prefix(text.front() == '\'' ? 1 : 3);
    while (!text.empty() && (text.back() == '\'' ||
                             (text.size() >= 3 && text.substr(text.size() - 3) == "\xE2\x80\x99")))
      text.remove_suffix(text.back() == '\'' ? 1 : 3);
    tokens.push_back({text, letters && !other && !text.empty(), onlyBlanks});
    onlyBlanks = true;
    pos = end;
  }
}

// The word in lower case, for comparing without case, into `out`.
void lowerInto(std::string_view word, std::string& out) {
  out.clear();
  for (std::size_t pos = 0; pos < word.size();) {
    const auto byte = static_cast<unsigned char>(word[pos]);
    if (byte < 0x80) {
      out.push_back(byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte + ('a' - 'A')) : word[pos]);
      ++pos;
      continue;
    }
    utf8proc_int32_t c = 0;
    const auto length =
        utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(word.data() + pos),
                         static_cast<utf8proc_ssize_t>(word.size() - pos), &c);
    if (length <= 0) {
      out.push_back(word[pos++]);
      continue;
    }
    utf8proc_uint8_t bytes[4];
    const auto written = utf8proc_encode_char(utf8proc_tolower(c), bytes);
    out.append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(written));
    pos += static_cast<std::size_t>(length);
  }
}

std::string lowered(std::string_view word) {
  std::string out;
  lowerInto(word, out);
  return out;
}

bool capitalised(std::string_view word) {
  utf8proc_int32_t c = 0;
  if (utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(word.data()),
                       static_cast<utf8proc_ssize_t>(word.size()), &c) <= 0) {
    return false;
  }
  return utf8proc_category(c) == UTF8PROC_CATEGORY_LU ||
         utf8proc_category(c) == UTF8PROC_CATEGORY_LT;
}

// A name's possessive is accepted with the name: "Krell's" with "Krell".
std::string withoutPossessive(std::string_view word) {
  for (const std::string_view ending :
       {std::string_view("'s"), std::string_view("\xE2\x80\x99s")}) {
    if (word.size() > ending.size() && word.substr(word.size() - ending.size()) == ending) {
      return std::string(word.substr(0, word.size() - ending.size()));
    }
  }
  return std::string(word);
}

}  // namespace

std::unordered_set<std::string> wordList(std::string_view text) {
  std::unordered_set<std::string> words;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    line = line.substr(0, line.find('#'));
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) continue;
    const std::size_t last = line.find_last_not_of(" \t\r");
    words.insert(lowered(line.substr(first, last - first + 1)));
  }
  return words;
}

bool TextChecks::accepted(const std::string& lower) const {
  if (words_.empty()) return false;
  return words_.count(lower) != 0 ||
         (lower.back() == 's' && words_.count(withoutPossessive(lower)) != 0);
}

TextChecks::TextChecks(const CheckOptions& options, Speller* speller,
                       std::unordered_set<std::string> words)
    : options_(options), speller_(speller), words_(std::move(words)) {}

long long TextChecks::lineOf(std::string_view holder) {
  // Each record's lines are looked through once, however many notes it has.
  for (const auto& [start, line] : lines_) {
    if (start == holder) return line;
  }
  long long found = text_->line;
  long long line = text_->line;
  const std::string_view text = text_->text;
  for (std::size_t pos = 0; pos < text.size(); ++line) {
    const std::size_t end = text.find('\n', pos);
    if (text.substr(pos, holder.size()) == holder) {
      found = line;
      break;
    }
    if (end == std::string_view::npos) break;
    pos = end + 1;
  }
  lines_.emplace_back(holder, found);
  return found;
}

void TextChecks::check(std::size_t record, const WorkingRoom& room, const RecordText& text) {
  // The capitalised words of every short name are the names of places.
  if (speller_ && options_.on(WarningKind::Spelling)) {
    tokensOf(room.shortname, tokens_);
    for (const Token& token : tokens_) {
      if (token.word && capitalised(token.text)) placeWords_.emplace(token.text);
    }
  }
  if (options_.on(WarningKind::SameText)) {
    // Rooms without any text are said to be so by -Wshort-name.
    bool any = !room.shortname.empty();
    std::uint64_t hash = hashBytes(room.shortname);
    for (int i = 0; i <= room.lines && i < kMaxTextLines; ++i) {
      const std::string& line = room.ldesc[static_cast<std::size_t>(i)];
      any = any || !line.empty();
      hash = hash * 0x9E3779B97F4A7C15ull ^ hashBytes(line);
    }
    hash = hash * 0x9E3779B97F4A7C15ull ^ static_cast<std::uint64_t>(room.lines + 2);
    if (any) {
      textHashes_.push_back({static_cast<std::uint32_t>(hash >> 32),
                             static_cast<std::uint32_t>(hash), static_cast<std::uint32_t>(record)});
    }
  }
  // The line that holds a text is looked for only when there is something
  // to say about it, and then once.
  record_ = record;
  text_ = &text;
  lines_.clear();
  checkLine(format::kLookStart, "short name", 0, room.shortname, true);
  for (int i = 0; i <= room.lines && i < kMaxTextLines; ++i)
    checkLine(format::kLookStart, "description line ", i + 1,
              room.ldesc[static_cast<std::size_t>(i)], false);
  if (room.command > 0) {
    for (int i = 0; i <= room.clines && i < kMaxTextLines; ++i)
      checkLine(format::kCommandStart, "response line ", i + 1,
                room.cdesc[static_cast<std::size_t>(i)], false);
  }
  if (room.t > 0) checkLine(format::kEventStart, "event text", 0, room.randtext, false);
}

void TextChecks::checkLine(std::string_view holder, const char* label, int number,
                           std::string_view text, bool shortName) {
  const auto note = [&](WarningKind kind, const auto&... said) {
    std::string message;
    appendText(message, label);
    if (number > 0) appendText(message, number);
    appendText(message, ": ", said...);
    notes_.push_back({record_, lineOf(holder), kind, std::move(message)});
  };
  if (options_.on(WarningKind::Width)) {
    const int width = displayWidth(text);
    if (width > kMaxColumns) note(WarningKind::Width, width, " columns wide, more than 79");
  }
  if (options_.on(WarningKind::Spacing)) {
    if (!text.empty() && isBlank(text.back())) note(WarningKind::Spacing, "blanks at the end");
    const std::size_t first = text.find_first_not_of(" \t");
    const std::size_t last = text.find_last_not_of(" \t");
    if (first != std::string_view::npos) {
      const std::string_view inside = text.substr(first, last - first + 1);
      for (std::size_t pos = 0; pos + 1 < inside.size(); ++pos) {
        if (isBlank(inside[pos]) && isBlank(inside[pos + 1])) {
          note(WarningKind::Spacing, "two blanks in a row");
          break;
        }
      }
    }
    if (shortName && text.find('\t') != std::string_view::npos) {
      note(WarningKind::Spacing, "a tab");
    }
  }
  const bool doubled = options_.on(WarningKind::Doubled);
  const bool spelling = speller_ && options_.on(WarningKind::Spelling);
  if (!doubled && !spelling) return;
  previous_.clear();  // the word before, in lower case, if it was one
  tokensOf(text, tokens_);
  for (const Token& token : tokens_) {
    if (token.word) {
      lowerInto(token.text, lower_);
    } else {
      lower_.clear();
    }
    const std::string& lower = lower_;
    if (doubled && token.word && token.afterBlanks && !previous_.empty() && lower == previous_) {
      note(WarningKind::Doubled, "'", shortened(token.text), "' twice in a row");
    }
    previous_ = lower;
    if (!spelling || !token.word || accepted(lower) || speller_->knows(token.text)) {
      continue;
    }
    note(WarningKind::Spelling, "'", shortened(token.text), "' is not in the dictionary");
    spelling_.emplace_back(notes_.size() - 1, std::string(token.text));
  }
}

void TextChecks::addSameTexts(const World& world) {
  std::sort(textHashes_.begin(), textHashes_.end(), [](const TextHash& a, const TextHash& b) {
    if (a.high != b.high) return a.high < b.high;
    return a.low != b.low ? a.low < b.low : a.record < b.record;
  });
  std::size_t first = 0;  // the first record of the texts at hand
  for (std::size_t k = 1; k < textHashes_.size(); ++k) {
    const TextHash& earlier = textHashes_[first];
    const TextHash& later = textHashes_[k];
    if (earlier.high != later.high || earlier.low != later.low) {
      first = k;
      continue;
    }
    const WorldFile& here = world.fileOfRecord(later.record);
    const WorldFile& there = world.fileOfRecord(earlier.record);
    std::string said = "the short name and description are those of room ";
    appendText(said, world.graph().number(earlier.record), " (");
    if (&here == &there) {
      appendText(said, "line ", world.recordLine(earlier.record), ")");
    } else {
      appendText(said, visible(there.name), ":", world.recordLine(earlier.record), ")");
    }
    notes_.push_back(
        {later.record, world.recordLine(later.record), WarningKind::SameText, std::move(said)});
  }
  textHashes_ = {};
}

std::vector<TextNote> TextChecks::finish(const World* world) {
  std::vector<bool> dropped(notes_.size(), false);
  std::unordered_map<std::string, std::string> suggested;  // each word looked up once
  for (const auto& [index, word] : spelling_) {
    if (placeWords_.count(word) != 0 || placeWords_.count(withoutPossessive(word)) != 0) {
      dropped[index] = true;
      continue;
    }
    if (!options_.suggestions) continue;
    auto found = suggested.find(word);
    if (found == suggested.end()) {
      std::string said;
      if (suggested.size() >= options_.suggestedWords) {
        said = " (no suggestions computed)";
      } else {
        const std::vector<std::string> words = speller_->suggestions(word, kSuggestions);
        for (std::size_t k = 0; k < words.size(); ++k)
          appendText(said, k == 0 ? " (" : ", ", words[k]);
        if (!words.empty()) said += "?)";
      }
      found = suggested.emplace(word, said).first;
    }
    notes_[index].text += found->second;
  }
  std::vector<TextNote> kept;
  kept.reserve(notes_.size());
  for (std::size_t i = 0; i < notes_.size(); ++i) {
    if (!dropped[i]) kept.push_back(std::move(notes_[i]));
  }
  notes_ = std::move(kept);
  if (world && options_.on(WarningKind::SameText)) addSameTexts(*world);
  // Each record's notes together, by the line they are at (a same-text note
  // at the record's first line comes before those on its texts).
  std::stable_sort(notes_.begin(), notes_.end(), [](const TextNote& a, const TextNote& b) {
    return a.record != b.record ? a.record < b.record : a.line < b.line;
  });
  return std::move(notes_);
}

}  // namespace rb
