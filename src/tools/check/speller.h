// Spelling, by Hunspell and an installed dictionary (en_US by default,
// from Debian's hunspell-en-us): whether a word is known, and what it may
// have been meant to be. Each distinct word is looked up once.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace rb {

class Speller {
 public:
  // The dictionary `name` (such as en_US or de_DE) from the folders
  // dictionaries are installed in ($DICPATH first); nothing when it is not
  // installed.
  static std::unique_ptr<Speller> open(const std::string& name);
  // The dictionaries installed there, by name, sorted.
  static std::vector<std::string> installed();
  ~Speller();
  Speller(const Speller&) = delete;
  Speller& operator=(const Speller&) = delete;

  // Whether the dictionary knows `word`. A word with no letter of the
  // dictionary's alphabet (Greek or Chinese to an English dictionary) is
  // not the dictionary's to judge, and counts as known.
  bool knows(std::string_view word);
  // Up to `most` words it may have been meant to be, best first.
  std::vector<std::string> suggestions(std::string_view word, std::size_t most);

 private:
  Speller(void* handle, bool utf8, std::u32string alphabet)
      : handle_(handle), utf8_(utf8), alphabet_(std::move(alphabet)) {}
  bool hasLetterOfAlphabet(std::string_view word) const;
  // The word in the dictionary's encoding; false when it has no such word.
  bool encode(std::string_view word, std::string& out) const;
  std::string decode(const char* word) const;

  void* handle_;  // a Hunhandle
  bool utf8_;     // the dictionary is UTF-8 (else ISO 8859-1)
  // The letters the dictionary tries in its suggestions (its TRY line), in
  // both cases: the letters of its language. Empty when it has none.
  std::u32string alphabet_;
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
      return std::hash<std::string_view>()(text);
    }
  };
  std::unordered_map<std::string, bool, Hash, std::equal_to<>> known_;
};

}  // namespace rb
