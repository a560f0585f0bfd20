#include "tools/check/diagnostic_json.h"

#include <rapidjson/prettywriter.h>
#include <rapidjson/writer.h>

#include <unordered_map>

#include "base/byte_hash.h"
#include "base/char_class.h"
#include "base/utf8.h"
#include "base/version.h"
#include "base/visible_text.h"
#include "files/input_file.h"
#include "format/area_reader.h"
#include "tools/json/json_out.h"

namespace rb {

namespace {

void appendHex(std::string& out, char c, const char* digits) {
  const auto byte = static_cast<unsigned char>(c);
  out += digits[byte >> 4];
  out += digits[byte & 15];
}

// A text of the world as valid UTF-8 for a JSON string: control bytes and
// bytes that are not UTF-8 as \xHH, as the text form shows them.
std::string shown(std::string_view text) {
  std::string visible;
  appendHexEscaped(visible, text);
  std::string out;
  for (std::size_t pos = 0; pos < visible.size();) {
    const std::size_t length = utf8Length(visible, pos);
    if (length == 0) {
      out += "\\x";
      appendHex(out, visible[pos++], "0123456789abcdef");
      continue;
    }
    out.append(visible, pos, length);
    pos += length;
  }
  return out;
}

template <class Writer>
void string(Writer& w, std::string_view text) {
  w.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
}
template <class Writer>
void key(Writer& w, std::string_view name) {
  w.Key(name.data(), static_cast<rapidjson::SizeType>(name.size()));
}

class GccJson : public DiagnosticSink {
 public:
  explicit GccJson(OutputStream& out) : out_(out), stream_(out), w_(stream_) { w_.StartArray(); }

  void report(const Diagnostic& d) override {
    const CheckRule& rule = checkRules()[d.rule];
    w_.StartObject();
    key(w_, "kind");
    string(w_, rule.error ? "error" : "warning");
    key(w_, "message");
    string(w_, shown(d.text));
    if (!rule.error) {
      key(w_, "option");
      string(w_, "-W" + std::string(rule.id));
    }
    key(w_, "children");
    w_.StartArray();
    w_.EndArray();
    key(w_, "column-origin");
    w_.Int(1);
    key(w_, "locations");
    w_.StartArray();
    w_.StartObject();
    key(w_, "caret");
    w_.StartObject();
    key(w_, "file");
    string(w_, shown(d.file));
    key(w_, "line");
    w_.Int64(d.line);
    for (const char* column : {"column", "display-column", "byte-column"}) {
      key(w_, column);
      w_.Int(1);
    }
    w_.EndObject();
    w_.EndObject();
    w_.EndArray();
    key(w_, "escape-source");
    w_.Bool(false);
    w_.EndObject();
    stream_.send();
  }
  void finish(const std::string&) override {
    w_.EndArray();
    stream_.send();
    out_.print("\n");
  }

 private:
  OutputStream& out_;
  JsonOut stream_;
  rapidjson::Writer<JsonOut> w_;
};

// The widths of lines of files, in characters, read as they are asked for:
// mostly line after line, so a file is read once or twice.
class LineWidths {
 public:
  long long of(const std::string& file, long long line) {
    if (file != file_ || line < number_) {
      file_ = file;
      reader_.reset();
      number_ = 0;
      width_ = 0;
      if (input_.open(file) != InputFile::Status::Open) return 0;
      reader_ = std::make_unique<LineReader>(input_.fd(), LineReader::kSmallReads);
    }
    try {
      std::string_view text;
      while (reader_ && number_ < line && reader_->next(text)) {
        number_ = reader_->lineNumber();
        if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        width_ = 0;
        for (std::size_t pos = 0; pos < text.size(); pos += characterLength(text, pos))
          ++width_;
      }
    } catch (const AreaReadError&) {
      reader_.reset();
    }
    return number_ == line ? width_ : 0;
  }

 private:
  std::string file_;
  InputFile input_;
  std::unique_ptr<LineReader> reader_;
  long long number_ = 0, width_ = 0;
};

class Sarif : public DiagnosticSink {
 public:
  explicit Sarif(OutputStream& out) : out_(out), stream_(out), w_(stream_) {
    w_.SetIndent(' ', 2);
    w_.StartObject();
    key(w_, "$schema");
    string(w_,
           "https://docs.oasis-open.org/sarif/sarif/v2.1.0/errata01/os/schemas/"
           "sarif-schema-2.1.0.json");
    key(w_, "version");
    string(w_, "2.1.0");
    key(w_, "runs");
    w_.StartArray();
    w_.StartObject();
    key(w_, "tool");
    w_.StartObject();
    key(w_, "driver");
    w_.StartObject();
    key(w_, "name");
    string(w_, "roombuilder");
    key(w_, "version");
    string(w_, kVersion);
    key(w_, "rules");
    w_.StartArray();
    for (const CheckRule& rule : checkRules()) {
      w_.StartObject();
      key(w_, "id");
      string(w_, rule.id);
      for (const auto& [name, text] :
           {std::pair{"shortDescription", rule.shortDescription},
            std::pair{"fullDescription", rule.fullDescription}, std::pair{"help", rule.help}}) {
        key(w_, name);
        w_.StartObject();
        key(w_, "text");
        string(w_, text);
        w_.EndObject();
      }
      key(w_, "defaultConfiguration");
      w_.StartObject();
      key(w_, "level");
      string(w_, rule.error ? "error" : "warning");
      w_.EndObject();
      w_.EndObject();
    }
    w_.EndArray();
    w_.EndObject();
    w_.EndObject();
    key(w_, "columnKind");
    string(w_, "unicodeCodePoints");
    key(w_, "results");
    w_.StartArray();
  }

  void report(const Diagnostic& d) override {
    const CheckRule& rule = checkRules()[d.rule];
    w_.StartObject();
    key(w_, "ruleId");
    string(w_, rule.id);
    key(w_, "ruleIndex");
    w_.Uint64(d.rule);
    key(w_, "level");
    string(w_, rule.error ? "error" : "warning");
    key(w_, "message");
    w_.StartObject();
    key(w_, "text");
    string(w_, shown(d.text));
    w_.EndObject();
    key(w_, "locations");
    w_.StartArray();
    w_.StartObject();
    key(w_, "physicalLocation");
    w_.StartObject();
    key(w_, "artifactLocation");
    w_.StartObject();
    key(w_, "uri");
    string(w_, fileUri(d.file));
    w_.EndObject();
    key(w_, "region");
    w_.StartObject();
    key(w_, "startLine");
    w_.Int64(d.line);
    key(w_, "startColumn");
    w_.Int(1);
    key(w_, "endLine");
    w_.Int64(d.line);
    key(w_, "endColumn");
    w_.Int64(widths_.of(d.file, d.line) + 1);
    w_.EndObject();
    w_.EndObject();
    w_.EndObject();
    w_.EndArray();
    // The same text twice (two rooms of one file that are alike) tells
    // itself apart by its count.
    std::string fingerprint = diagnosticFingerprint(d.rule, d.text);
    fingerprint += ':' + std::to_string(++seen_[fingerprint]);
    key(w_, "partialFingerprints");
    w_.StartObject();
    key(w_, "roomDiagnostic/v1");
    string(w_, fingerprint);
    w_.EndObject();
    w_.EndObject();
    stream_.send();
  }
  void finish(const std::string&) override {
    w_.EndArray();
    w_.EndObject();
    w_.EndArray();
    w_.EndObject();
    stream_.send();
    out_.print("\n");
  }

 private:
  OutputStream& out_;
  JsonOut stream_;
  rapidjson::PrettyWriter<JsonOut> w_;
  LineWidths widths_;
  std::unordered_map<std::string, int> seen_;
};

}  // namespace

std::unique_ptr<DiagnosticSink> gccJsonDiagnostics(OutputStream& out) {
  return std::make_unique<GccJson>(out);
}

std::unique_ptr<DiagnosticSink> sarifDiagnostics(OutputStream& out) {
  return std::make_unique<Sarif>(out);
}

std::string diagnosticFingerprint(std::size_t rule, std::string_view text) {
  // The places a text names follow "at ": "at line 12", "at town.c:12".
  std::string placeless;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t at = text.find("at ", pos);
    const bool word = at != std::string_view::npos && (at == 0 || text[at - 1] == ' ');
    if (!word) {
      const std::size_t end = at == std::string_view::npos ? text.size() : at + 3;
      placeless.append(text.substr(pos, end - pos));
      pos = end;
      continue;
    }
    placeless.append(text.substr(pos, at + 2 - pos));
    std::size_t end = at + 3;
    while (end < text.size() && text[end] != ' ' && text[end] != ')')
      ++end;
    std::string_view place = text.substr(at + 3, end - at - 3);
    if (place == "line") {
      std::size_t digits = end + 1;
      while (digits < text.size() && isDigit(text[digits]))
        ++digits;
      if (digits > end + 1) {
        pos = digits;
        continue;
      }
    }
    const std::size_t colon = place.rfind(':');
    bool numbered = colon != std::string_view::npos && colon + 1 < place.size();
    for (std::size_t k = colon + 1; numbered && k < place.size(); ++k)
      numbered = isDigit(place[k]);
    pos = numbered ? end : at + 2;
  }
  const CheckRule& ruleOf = checkRules()[rule];
  const std::uint64_t hash = hashBytes(std::string(ruleOf.id) + '\0' + placeless);
  char hex[17];
  for (int k = 0; k < 16; ++k)
    hex[k] = "0123456789abcdef"[(hash >> (60 - 4 * k)) & 15];
  hex[16] = '\0';
  return hex;
}

std::string fileUri(std::string_view name) {
  std::string uri = name.substr(0, 1) == "/" ? "file://" : "";
  for (const char c : name) {
    if (isAsciiLetter(c) || isDigit(c) || c == '-' || c == '.' || c == '_' || c == '~' ||
        c == '/') {
      uri += c;
    } else {
      uri += '%';
      appendHex(uri, c, "0123456789ABCDEF");
    }
  }
  return uri;
}

}  // namespace rb
