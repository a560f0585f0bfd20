#include "tools/check/speller.h"

#include <dirent.h>
#include <hunspell/hunspell.h>
#include <sys/stat.h>
#include <utf8proc.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>

#include "base/utf8.h"

namespace rb {

namespace {

Hunhandle* handleOf(void* handle) {
  return static_cast<Hunhandle*>(handle);
}

bool exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The folders dictionaries are installed in: $DICPATH's first.
std::vector<std::string> dictionaryFolders() {
  std::vector<std::string> folders;
  if (const char* path = std::getenv("DICPATH")) {
    std::string all = path;
    for (std::size_t start = 0; start <= all.size();) {
      const std::size_t end = std::min(all.find(':', start), all.size());
      if (end > start) folders.push_back(all.substr(start, end - start));
      start = end + 1;
    }
  }
  for (const char* folder :
       {"/usr/share/hunspell", "/usr/share/myspell", "/usr/share/myspell/dicts"})
    folders.emplace_back(folder);
  return folders;
}

// The code points of `text`, read as UTF-8 or as ISO 8859-1.
std::u32string codePoints(std::string_view text, bool utf8) {
  std::u32string points;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = utf8 ? utf8Length(text, pos) : 1;
    if (length == 0) {
      ++pos;
      continue;
    }
    char32_t c = static_cast<unsigned char>(text[pos]);
    if (length > 1) {
      c &= static_cast<char32_t>(0x7F >> length);
      for (std::size_t k = 1; k < length; ++k)
        c = (c << 6) | (static_cast<unsigned char>(text[pos + k]) & 0x3F);
    }
    points.push_back(c);
    pos += length;
  }
  return points;
}

// The letters of a dictionary's TRY line, in upper and lower case.
std::u32string alphabetOf(const std::string& affix, bool utf8) {
  std::ifstream in(affix, std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("TRY", 0) != 0 || line.size() < 4 || (line[3] != ' ' && line[3] != '\t')) {
      continue;
    }
    std::u32string letters;
    for (const char32_t c : codePoints(std::string_view(line).substr(4), utf8)) {
      const auto point = static_cast<utf8proc_int32_t>(c);
      if (!utf8proc_isupper(point) && !utf8proc_islower(point)) continue;
      letters.push_back(c);
      letters.push_back(static_cast<char32_t>(utf8proc_toupper(point)));
      letters.push_back(static_cast<char32_t>(utf8proc_tolower(point)));
    }
    return letters;
  }
  return {};
}

}  // namespace

std::vector<std::string> Speller::installed() {
  std::set<std::string> names;
  for (const std::string& folder : dictionaryFolders()) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) continue;
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name.size() > 4 && name.substr(name.size() - 4) == ".aff" &&
          exists(folder + "/" + name.substr(0, name.size() - 4) + ".dic")) {
        names.insert(name.substr(0, name.size() - 4));
      }
    }
    closedir(dir);
  }
  return {names.begin(), names.end()};
}

std::unique_ptr<Speller> Speller::open(const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos) return nullptr;
  for (const std::string& folder : dictionaryFolders()) {
    const std::string base = folder + "/" + name;
    if (!exists(base + ".aff") || !exists(base + ".dic")) continue;
    Hunhandle* handle = Hunspell_create((base + ".aff").c_str(), (base + ".dic").c_str());
    if (!handle) continue;
    const char* encoding = Hunspell_get_dic_encoding(handle);
    const bool utf8 =
        encoding && (std::strcmp(encoding, "UTF-8") == 0 || std::strcmp(encoding, "utf-8") == 0);
    return std::unique_ptr<Speller>(new Speller(handle, utf8, alphabetOf(base + ".aff", utf8)));
  }
  return nullptr;
}

Speller::~Speller() {
  Hunspell_destroy(handleOf(handle_));
}

bool Speller::encode(std::string_view word, std::string& out) const {
  if (utf8_) {
    out.assign(word);
    return true;
  }
  // ISO 8859-1: the characters up to U+00FF, a byte each.
  out.clear();
  for (std::size_t pos = 0; pos < word.size();) {
    const std::size_t length = utf8Length(word, pos);
    const auto lead = static_cast<unsigned char>(word[pos]);
    if (length == 1) {
      out.push_back(word[pos]);
    } else if (length == 2 && lead <= 0xC3) {
      out.push_back(static_cast<char>(((lead & 0x03) << 6) | (word[pos + 1] & 0x3F)));
    } else {
      return false;
    }
    pos += length;
  }
  return true;
}

std::string Speller::decode(const char* word) const {
  if (utf8_) return word;
  std::string out;
  for (const char* c = word; *c; ++c) {
    const auto byte = static_cast<unsigned char>(*c);
    if (byte < 0x80) {
      out.push_back(*c);
    } else {
      out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return out;
}

bool Speller::hasLetterOfAlphabet(std::string_view word) const {
  if (alphabet_.empty()) return true;
  for (const char32_t c : codePoints(word, true)) {
    if (alphabet_.find(c) != std::u32string::npos) return true;
  }
  return false;
}

bool Speller::knows(std::string_view word) {
  const auto found = known_.find(word);
  if (found != known_.end()) return found->second;
  std::string encoded;
  // A word the dictionary's letters cannot spell is not its to judge.
  const bool known = !hasLetterOfAlphabet(word) || !encode(word, encoded) ||
                     Hunspell_spell(handleOf(handle_), encoded.c_str()) != 0;
  known_.emplace(std::string(word), known);
  return known;
}

std::vector<std::string> Speller::suggestions(std::string_view word, std::size_t most) {
  std::vector<std::string> found;
  std::string encoded;
  if (!encode(word, encoded)) return found;
  char** list = nullptr;
  const int count = Hunspell_suggest(handleOf(handle_), &list, encoded.c_str());
  for (int i = 0; i < count && found.size() < most; ++i)
    found.push_back(decode(list[i]));
  if (list) Hunspell_free_list(handleOf(handle_), &list, count);
  return found;
}

}  // namespace rb
