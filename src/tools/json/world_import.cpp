#include "tools/json/world_import.h"

#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <tuple>

#include "base/byte_hash.h"
#include "base/number_text.h"
#include "base/text_append.h"
#include "format/data_row.h"
#include "format/exit_slot.h"
#include "format/function_name.h"
#include "format/region_name.h"
#include "format/room_record.h"
#include "format/terrain_table.h"
#include "tools/json/json_text.h"

namespace rb {

namespace {

// The document read a block at a time, the line and column of each
// character counted, and where each token begins noted: the first
// character after the last event that is not white space or a separator.
class PositionStream {
 public:
  using Ch = char;

  explicit PositionStream(int fd) : fd_(fd), buffer_(64 * 1024) { fill(); }

  Ch Peek() const { return pos_ < end_ ? buffer_[pos_] : '\0'; }
  Ch Take() {
    if (pos_ >= end_) return '\0';
    const char c = buffer_[pos_++];
    ++offset_;
    if (tokenPending_ && c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != ',' && c != ':') {
      tokenPending_ = false;
      tokenLine_ = line_;
      tokenColumn_ = column_;
    }
    if (c == '\n') {
      ++line_;
      column_ = 1;
    } else {
      ++column_;
    }
    if (pos_ == end_) fill();
    return c;
  }
  std::size_t Tell() const { return offset_; }
  Ch* PutBegin() { return nullptr; }
  void Put(Ch) {}
  void Flush() {}
  std::size_t PutEnd(Ch*) { return 0; }

  // Where the token of the event just reported began; the next event's is
  // looked for from now on.
  std::pair<long long, long long> tokenStart() {
    tokenPending_ = true;
    return {tokenLine_, tokenColumn_};
  }
  std::pair<long long, long long> here() const { return {line_, column_}; }
  int error() const { return error_; }

 private:
  void fill() {
    pos_ = end_ = 0;
    for (;;) {
      const ssize_t got = ::read(fd_, buffer_.data(), buffer_.size());
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) error_ = errno;
      if (got > 0) end_ = static_cast<std::size_t>(got);
      return;
    }
  }

  int fd_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0, end_ = 0, offset_ = 0;
  long long line_ = 1, column_ = 1;
  bool tokenPending_ = true;
  long long tokenLine_ = 1, tokenColumn_ = 1;
  int error_ = 0;
};

// A value of the document, small: an item of a file's content, or the
// fields of a file or of the document.
struct Node {
  enum class Type { Null, Bool, Number, String, Object, Array };
  Type type = Type::Null;
  bool boolean = false;
  std::string text;  // a string (as bytes), or a number's digits
  std::vector<std::pair<std::string, std::unique_ptr<Node>>> members;
  std::vector<std::unique_ptr<Node>> items;
  long long line = 0, column = 0;

  const Node* member(std::string_view name) const {
    for (const auto& [key, value] : members) {
      if (key == name) return value.get();
    }
    return nullptr;
  }
};

const char* typeName(Node::Type type) {
  switch (type) {
    case Node::Type::Null:
      return "null";
    case Node::Type::Bool:
      return "true or false";
    case Node::Type::Number:
      return "a number";
    case Node::Type::String:
      return "a string";
    case Node::Type::Object:
      return "an object";
    case Node::Type::Array:
      return "an array";
  }
  return "";
}

// What an item of a file's content is, once read.
struct Item {
  enum class Kind { Text, Room, Row } kind = Kind::Text;
  std::string text;
  WorkingRoom room;
  AreaDefaults row;  // region; the room's dark and terrain are in `room`
};

struct FileHeader {
  std::string name;  // normalised, relative
  bool rooms = true;
  bool crLf = false;
};

// What is done with the document's parts as they are read.
class Sink {
 public:
  virtual ~Sink() = default;
  virtual void beginFile(const FileHeader& file) = 0;
  virtual void item(const Item& item) = 0;
  virtual void endFile() = 0;
};

// The checks of every part, and the conversion of items.
class Checker {
 public:
  explicit Checker(std::vector<ImportError>& errors, std::size_t& more)
      : errors_(errors), more_(more) {}

  template <class... Args>
  void error(const Node& at, const Args&... said) {
    error(at.line, at.column, said...);
  }
  template <class... Args>
  void error(long long line, long long column, const Args&... said) {
    ImportError e{line, column, {}, found_++};
    appendText(e.text, said...);
    // The first errors in document order are kept (those of an item are
    // found when it is whole, in the order its fields are checked): a heap
    // whose top is the last of them.
    errors_.push_back(std::move(e));
    std::push_heap(errors_.begin(), errors_.end(), documentOrder);
    if (errors_.size() > kMostImportErrors) {
      std::pop_heap(errors_.begin(), errors_.end(), documentOrder);
      errors_.pop_back();
      ++more_;
    }
  }
  // The errors kept, in document order.
  void sortErrors() { std::sort_heap(errors_.begin(), errors_.end(), documentOrder); }
  bool failed() const { return !errors_.empty(); }

  // The member `name` of `object` when it is of `type`: an error, and
  // nothing, when it is missing (and `needed`) or of another type.
  const Node* field(const Node& object, std::string_view name, Node::Type type, bool needed) {
    const Node* found = object.member(name);
    if (!found) {
      if (needed) error(object, "the field \"", name, "\" is missing");
      return nullptr;
    }
    if (found->type != type) {
      error(*found, "\"", name, "\" must be ", typeName(type), ", not ", typeName(found->type));
      return nullptr;
    }
    return found;
  }
  void onlyFields(const Node& object, std::initializer_list<std::string_view> known) {
    for (const auto& [key, value] : object.members) {
      bool listed = false;
      for (const std::string_view k : known)
        listed = listed || k == key;
      if (!listed) error(*value, "\"", key, "\" is not a field here");
    }
  }
  std::optional<int> integer(const Node& number, std::string_view name) {
    int value = 0;
    if (wholeIntInRange(number.text, value)) return value;
    error(number, "\"", name, "\" must be a whole number within the range of int");
    return std::nullopt;
  }
  // A text the room menu could hold: at most `most` bytes (`most` 0: any),
  // none of the characters no editor can type.
  std::string text(const Node& string, std::string_view what, std::size_t most) {
    std::string bytes = bytesOfJsonText(string.text);
    if (most > 0 && bytes.size() > most) {
      error(string, what, " has ", bytes.size(), " bytes; the room menu holds ", most);
    }
    if (bytes.find_first_of(std::string_view("\n\0\x1b", 3)) != std::string::npos) {
      error(string, what,
            " holds a line break, a NUL or an escape character, which no editor types");
    }
    return bytes;
  }
  // Lines of a text: at most ten, each at most 99 bytes.
  int lines(const Node& array, std::string_view what, std::array<std::string, kMaxTextLines>& out) {
    if (array.items.size() > static_cast<std::size_t>(kMaxTextLines)) {
      error(array, what, " has ", array.items.size(), " lines; the room menu holds ",
            kMaxTextLines);
    }
    int last = -1;
    for (std::size_t k = 0; k < array.items.size() && k < out.size(); ++k) {
      const Node& line = *array.items[k];
      if (line.type != Node::Type::String) {
        error(line, "a line of ", what, " must be a string");
        continue;
      }
      std::string said;
      appendText(said, what, " line ", k + 1);
      out[k] = text(line, said, kTextLineSize - 1);
      last = static_cast<int>(k);
    }
    return last;
  }

  std::optional<Item> room(const Node& node) {
    onlyFields(node, {"number", "region", "shortName", "description", "exits", "command",
                      "response", "event"});
    Item item;
    item.kind = Item::Kind::Room;
    WorkingRoom& room = item.room;
    clearForReading(room);
    room.roomterrain = 1;
    room.roomdark = 1;
    if (const Node* number = field(node, "number", Node::Type::Number, true)) {
      if (const auto value = integer(*number, "number")) room.room = *value;
    }
    if (const Node* region = field(node, "region", Node::Type::String, true)) {
      room.tempregionname = bytesOfJsonText(region->text);
      if (room.tempregionname.size() >= kRegionNameSize || !validRegionName(room.tempregionname)) {
        error(*region,
              "the region name must be ASCII letters, digits and underscores, not "
              "starting with a digit, at most ",
              kRegionNameSize - 1, " bytes");
      }
    }
    if (const Node* name = field(node, "shortName", Node::Type::String, true)) {
      room.shortname = text(*name, "the short name", kShortNameSize - 1);
    }
    if (const Node* description = field(node, "description", Node::Type::Array, false)) {
      room.lines = lines(*description, "the description", room.ldesc);
    }
    if (const Node* exits = field(node, "exits", Node::Type::Object, false)) {
      for (const auto& [key, value] : exits->members) {
        int slot = 0;
        for (const ExitSlot& exit : kExitSlots) {
          if (exit.word == key) slot = exit.slot;
        }
        if (slot == 0) {
          error(*value, "\"", key, "\" is no direction (north, northeast, ..., up, down, in, out)");
          continue;
        }
        if (value->type != Node::Type::Number) {
          error(*value, "the ", key, " exit must be a number");
          continue;
        }
        if (const auto destination = integer(*value, key)) {
          room.exitd[static_cast<std::size_t>(slot)] = *destination;
        }
      }
    }
    const Node* command = field(node, "command", Node::Type::Array, false);
    const Node* response = field(node, "response", Node::Type::Array, false);
    if (command) {
      if (command->items.size() > static_cast<std::size_t>(kMaxCommandWords)) {
        error(*command, "the command has ", command->items.size(), " words; the room menu holds ",
              kMaxCommandWords);
      }
      for (std::size_t k = 0; k < command->items.size() && k < kMaxCommandWords; ++k) {
        const Node& word = *command->items[k];
        if (word.type != Node::Type::String) {
          error(word, "a word of the command must be a string");
          continue;
        }
        room.comm[k + 1] = text(word, "a word of the command", kWordSize - 1);
        room.command = static_cast<int>(k + 1);
      }
      if (room.command > 0 && !response) error(*command, "a command needs its \"response\"");
    }
    if (response) {
      if (!command || room.command == 0) error(*response, "a response needs a command");
      room.clines = lines(*response, "the response", room.cdesc);
    }
    if (const Node* event = field(node, "event", Node::Type::Object, false)) {
      onlyFields(*event, {"frequency", "text"});
      if (const Node* frequency = field(*event, "frequency", Node::Type::Number, true)) {
        // As a file holds it, 0.000000 is a frequency too small to show.
        const float value = std::strtof(frequency->text.c_str(), nullptr);
        if (value > 0 && std::isfinite(value)) {
          room.t = value;
        } else if (frequency->text == "0.000000") {
          room.t = kSmallestShownFrequency;
        } else {
          error(*frequency, "an event's frequency must be above 0 and within the range of float");
        }
      }
      if (const Node* text = field(*event, "text", Node::Type::String, true)) {
        room.randtext = this->text(*text, "the event text", kRandTextSize - 1);
      }
    }
    return item;
  }

  std::optional<Item> row(const Node& node) {
    onlyFields(node, {"function", "region", "dark", "terrain"});
    Item item;
    item.kind = Item::Kind::Row;
    if (const Node* function = field(node, "function", Node::Type::String, true)) {
      std::string_view region;
      int number = 0;
      const std::string name = bytesOfJsonText(function->text);
      if (!menuFunctionName(name, region, number)) {
        error(*function, "the function name must be a region name, \"l_\" and a room number");
      } else {
        item.room.tempregionname = std::string(region);
        item.room.room = number;
      }
    }
    if (const Node* region = field(node, "region", Node::Type::Number, true)) {
      if (const auto value = integer(*region, "region")) item.row.region = *value;
    }
    if (const Node* dark = field(node, "dark", Node::Type::Bool, true)) {
      item.room.roomdark = dark->boolean ? 0 : 1;
    }
    if (const Node* terrain = field(node, "terrain", Node::Type::Number, true)) {
      const auto value = integer(*terrain, "terrain");
      if (value && !TerrainTable::valid(*value)) {
        error(*terrain, "the terrain must be 1 to 18");
      } else if (value) {
        item.room.roomterrain = *value;
      }
    }
    return item;
  }

  std::optional<Item> contentItem(const Node& node, const FileHeader& file) {
    if (node.type != Node::Type::Object || node.members.size() != 1) {
      error(node,
            "an item of a file's content must be an object of one field: \"text\", \"room\" "
            "or \"row\"");
      return std::nullopt;
    }
    const auto& [key, value] = node.members.front();
    if (key == "text") {
      if (value->type != Node::Type::String) {
        error(*value, "\"text\" must be a string");
        return std::nullopt;
      }
      Item item;
      item.text = bytesOfJsonText(value->text);
      return item;
    }
    if (key == "room" || key == "row") {
      if (value->type != Node::Type::Object) {
        error(*value, "\"", key, "\" must be an object");
        return std::nullopt;
      }
      if ((key == "room") != file.rooms) {
        error(node, key == "room" ? "a room in a data file" : "a row in a room file");
        return std::nullopt;
      }
      return key == "room" ? room(*value) : row(*value);
    }
    error(node, "\"", key, "\" is not an item (\"text\", \"room\" or \"row\")");
    return std::nullopt;
  }

 private:
  static bool documentOrder(const ImportError& a, const ImportError& b) {
    return std::tie(a.line, a.column, a.found) < std::tie(b.line, b.column, b.found);
  }

  std::vector<ImportError>& errors_;
  std::size_t& more_;
  std::size_t found_ = 0;
};

// A file's name made plain ("sub/../x.c" is "x.c"); nothing when it is
// absolute or climbs out of its folder.
std::optional<std::string> plainName(std::string_view name) {
  if (name.empty() || name.front() == '/') return std::nullopt;
  std::vector<std::string_view> parts;
  while (!name.empty()) {
    const std::size_t slash = name.find('/');
    const std::string_view part = name.substr(0, slash);
    name.remove_prefix(slash == std::string_view::npos ? name.size() : slash + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (parts.empty()) return std::nullopt;
      parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  if (parts.empty()) return std::nullopt;
  std::string plain;
  for (const std::string_view part : parts)
    plain += (plain.empty() ? "" : "/") + std::string(part);
  return plain;
}

// The SAX events of the document into small nodes: the document's fields
// and each file's, and each item of a file's content, which goes to the
// sink as soon as it is whole and is then let go.
class Reader : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, Reader> {
 public:
  Reader(PositionStream& stream, Checker& check, Sink& sink)
      : stream_(stream), check_(check), sink_(sink) {}

  bool Null() { return value(Node::Type::Null); }
  bool Bool(bool b) {
    Node* node = start(Node::Type::Bool);
    node->boolean = b;
    return finish();
  }
  bool RawNumber(const char* text, rapidjson::SizeType length, bool) {
    Node* node = start(Node::Type::Number);
    node->text.assign(text, length);
    return finish();
  }
  bool String(const char* text, rapidjson::SizeType length, bool) {
    Node* node = start(Node::Type::String);
    node->text.assign(text, length);
    return finish();
  }
  bool Key(const char* text, rapidjson::SizeType length, bool) {
    Frame& frame = frames_.back();
    frame.key.assign(text, length);
    frame.keyAt = stream_.tokenStart();
    if (frame.node->member(frame.key)) {
      check_.error(frame.keyAt.first, frame.keyAt.second, "\"", frame.key, "\" is given twice");
    }
    return true;
  }
  bool StartObject() {
    start(Node::Type::Object);
    return true;
  }
  bool EndObject(rapidjson::SizeType) {
    stream_.tokenStart();
    return finish();
  }
  bool StartArray() {
    start(Node::Type::Array);
    return true;
  }
  bool EndArray(rapidjson::SizeType) {
    stream_.tokenStart();
    return finish();
  }

  // What the document said of itself, checked once it is read: the fields
  // it lacks or should not have.
  void checkDocument() {
    if (!root_) return;
    const Node& root = *root_;
    if (root.type != Node::Type::Object) {
      check_.error(root, "the document must be an object, not ", typeName(root.type));
      return;
    }
    check_.onlyFields(root, {"format", "version", "files"});
    check_.field(root, "format", Node::Type::String, true);
    check_.field(root, "version", Node::Type::Number, true);
    check_.field(root, "files", Node::Type::Array, true);
  }

 private:
  // What is being built: a node, the key its next member has, and whether
  // its items are streamed (the files, a file's content).
  struct Frame {
    Node* node;
    std::string key;
    std::pair<long long, long long> keyAt;
    enum class Role { Plain, Document, Files, File, Content } role = Role::Plain;
  };

  bool value(Node::Type type) {
    start(type);
    return finish();
  }

  Node* start(Node::Type type) {
    const auto [line, column] = stream_.tokenStart();
    auto node = std::make_unique<Node>();
    node->type = type;
    node->line = line;
    node->column = column;
    Node* raw = node.get();
    Frame::Role role = Frame::Role::Plain;
    if (frames_.empty()) {
      root_ = std::move(node);
      role = Frame::Role::Document;
    } else {
      Frame& parent = frames_.back();
      // The files, and a file's content, are streamed: arrays only.
      const bool array = type == Node::Type::Array;
      if (parent.role == Frame::Role::Document && parent.key == "files") {
        if (array) role = Frame::Role::Files;
      } else if (parent.role == Frame::Role::Files) {
        role = Frame::Role::File;
      } else if (parent.role == Frame::Role::File && parent.key == "content" && array) {
        role = Frame::Role::Content;
        beginFile(*parent.node);
      }
      pending_.push_back(std::move(node));
    }
    if (type == Node::Type::Object || type == Node::Type::Array) {
      frames_.push_back({raw, {}, {}, role});
    } else {
      scalarRole_ = role;
    }
    return raw;
  }

  // The node just ended (scalar, object or array) goes into its parent, or
  // is handled now when it is a file or an item of content.
  bool finish() {
    Frame::Role role = scalarRole_;
    scalarRole_ = Frame::Role::Plain;
    // Which node ended: an object or array that was open, or the last scalar.
    Node* ended = pending_.empty() ? root_.get() : pending_.back().get();
    if (!frames_.empty() && frames_.back().node == ended) {
      role = frames_.back().role;
      frames_.pop_back();
    }
    if (frames_.empty()) return true;  // the document itself
    std::unique_ptr<Node> done = std::move(pending_.back());
    pending_.pop_back();
    Frame& parent = frames_.back();
    if (parent.role == Frame::Role::Document) checkDocumentField(parent.key, *done);
    if (parent.role == Frame::Role::Content) {
      if (fileOpen_) {
        if (const auto item = check_.contentItem(*done, file_)) sink_.item(*item);
      }
      return true;
    }
    if (parent.role == Frame::Role::Files) {
      endFile(*done);
      return true;
    }
    if (role == Frame::Role::Files || role == Frame::Role::Content) {
      // Streamed: its items are not kept.
      done->items.clear();
    }
    if (parent.node->type == Node::Type::Object) {
      parent.node->members.emplace_back(parent.key, std::move(done));
    } else {
      parent.node->items.push_back(std::move(done));
    }
    return true;
  }

  // The document's format and version, checked where they stand.
  void checkDocumentField(std::string_view key, const Node& value) {
    if (key == "format" && value.type == Node::Type::String && value.text != world_json::kFormat) {
      check_.error(value, "the format must be \"", world_json::kFormat, "\"");
    }
    if (key == "version" && value.type == Node::Type::Number &&
        value.text != std::to_string(world_json::kVersion)) {
      check_.error(value, "version ", value.text, " is not known (this program reads version ",
                   world_json::kVersion, ")");
    }
  }

  // A file's content is streamed: what it says of itself comes first.
  void endFile(const Node& file) {
    if (file.type != Node::Type::Object) {
      check_.error(file, "a file must be an object");
      return;
    }
    if (fileOpen_) {
      sink_.endFile();
      fileOpen_ = false;
    }
    const Node* content = file.member("content");
    if (!content) {
      check_.error(file, "the field \"content\" is missing");
      checkHeader(file);
    } else if (content->type != Node::Type::Array) {
      check_.error(*content, "\"content\" must be an array, not ", typeName(content->type));
      checkHeader(file);
    }
    bool after = false;
    for (const auto& [key, value] : file.members) {
      if (after) {
        check_.error(*value, "\"", key,
                     "\" comes after \"content\": a file's name, kind and line ends come first");
      }
      after = after || key == "content";
    }
  }

  void beginFile(const Node& node) {
    const auto header = checkHeader(node);
    file_ = header.value_or(FileHeader{});
    fileOpen_ = header.has_value();
    if (fileOpen_) sink_.beginFile(file_);
  }

  // The checks of what a file says of itself; its header when it has no
  // error.
  std::optional<FileHeader> checkHeader(const Node& node) {
    check_.onlyFields(node, {"name", "kind", "lineEnds", "content"});
    FileHeader header;
    bool ok = true;
    if (const Node* name = check_.field(node, "name", Node::Type::String, true)) {
      const auto plain = plainName(bytesOfJsonText(name->text));
      if (!plain) {
        check_.error(*name, "the file name must be relative and stay within its folder");
        ok = false;
      } else if (!names_.insert(*plain).second) {
        check_.error(*name, "the file ", *plain, " is named twice");
        ok = false;
      } else {
        header.name = *plain;
      }
    } else {
      ok = false;
    }
    if (const Node* kind = check_.field(node, "kind", Node::Type::String, true)) {
      if (kind->text != "rooms" && kind->text != "data") {
        check_.error(*kind, "the kind must be \"rooms\" or \"data\"");
        ok = false;
      }
      header.rooms = kind->text == "rooms";
    } else {
      ok = false;
    }
    if (const Node* ends = check_.field(node, "lineEnds", Node::Type::String, true)) {
      if (ends->text != "LF" && ends->text != "CRLF" && ends->text != "mixed") {
        check_.error(*ends, "the line ends must be \"LF\", \"CRLF\" or \"mixed\"");
        ok = false;
      }
      header.crLf = ends->text == "CRLF";
    } else {
      ok = false;
    }
    if (!ok) return std::nullopt;
    return header;
  }

  PositionStream& stream_;
  Checker& check_;
  Sink& sink_;
  std::unique_ptr<Node> root_;
  std::vector<std::unique_ptr<Node>> pending_;  // the nodes being built, innermost last
  std::vector<Frame> frames_;
  Frame::Role scalarRole_ = Frame::Role::Plain;
  FileHeader file_;
  bool fileOpen_ = false;
  std::set<std::string> names_;
};

// The bytes of an item as its file holds them.
void appendItem(std::string& out, const Item& item, bool crLf) {
  std::string written;
  switch (item.kind) {
    case Item::Kind::Text:
      out += item.text;
      return;
    case Item::Kind::Room:
      written = roomRecord(item.room);
      break;
    case Item::Kind::Row:
      written = dataRow(item.room, item.row);
      break;
  }
  if (!crLf) {
    out += written;
    return;
  }
  for (const char c : written) {
    if (c == '\n') out += '\r';
    out += c;
  }
}

// A hash of bytes given in pieces of any size, the same for the same bytes:
// they are hashed in blocks of a fixed size.
class BlockHash {
 public:
  static constexpr std::size_t kBlock = 1 << 20;
  void add(std::string_view bytes) {
    while (!bytes.empty()) {
      const std::size_t take = std::min(kBlock - block_.size(), bytes.size());
      block_.append(bytes.substr(0, take));
      bytes.remove_prefix(take);
      if (block_.size() == kBlock) mix();
    }
  }
  std::uint64_t finish() {
    if (!block_.empty()) mix();
    return hash_;
  }

 private:
  void mix() {
    hash_ = hash_ * 0x9E3779B97F4A7C15ull ^ hashBytes(block_);
    block_.clear();
  }
  std::string block_;
  std::uint64_t hash_ = 0;
};

// Nothing but the checks (the first pass).
class CheckingSink : public Sink {
 public:
  void beginFile(const FileHeader&) override {}
  void item(const Item&) override {}
  void endFile() override {}
};

// The second pass: each file's new bytes, written beside it (or only
// hashed, for a dry run), and whether they differ from what it holds.
class WritingSink : public Sink {
 public:
  WritingSink(const ImportOptions& options, ImportOutcome& outcome)
      : options_(options), outcome_(outcome) {}

  void beginFile(const FileHeader& file) override {
    file_ = file;
    path_ = options_.into.empty() ? file.name : options_.into + "/" + file.name;
    hash_ = BlockHash();
    size_ = 0;
    pending_.clear();
    writing_ = !options_.dryRun;
    if (writing_) {
      makeFolders(path_);
      replacements_.emplace_back();
      struct stat info {};
      exists_ = lstat(path_.c_str(), &info) == 0;
      if (exists_) {
        // Locked while it is written and put in place.
        locks_.emplace_back();
        if (locks_.back().open(path_, InputFile::Lock::Exclusive) != InputFile::Status::Open) {
          fail(path_, locks_.back().reason());
          return;
        }
      }
      const bool started =
          exists_ ? replacements_.back().start(path_) : replacements_.back().startNew(path_);
      if (!started) fail(path_, replacements_.back().reason());
    } else {
      exists_ = access(path_.c_str(), F_OK) == 0;
    }
  }
  void item(const Item& item) override {
    appendItem(pending_, item, file_.crLf);
    if (pending_.size() >= kBlock) flush();
  }
  void endFile() override {
    flush();
    ImportedFile imported{path_,
                          exists_ ? ImportedFile::Change::Changed : ImportedFile::Change::New};
    if (exists_ && sameAsFile(path_)) imported.change = ImportedFile::Change::Unchanged;
    outcome_.files.push_back(imported);
    if (!writing_ || failed_) return;
    ReplacementFile& replacement = replacements_.back();
    if (imported.change == ImportedFile::Change::Unchanged) {
      replacement.abandon();
      replacements_.pop_back();
      return;
    }
    if (!replacement.finishWriting()) fail(path_, replacement.reason());
  }

  // Puts every changed file in place.
  void commit() {
    if (failed_ || replacements_.empty()) return;
    const ReplacementOutcome placed = commitReplacements(replacements_);
    if (!placed.done) {
      outcome_.failedFile = placed.failedName;
      outcome_.reason = placed.reason;
      outcome_.states = placed.files;
      return;
    }
    for (std::size_t k = 0; k < replacements_.size(); ++k) {
      if (!replacements_[k].isNew()) {
        outcome_.backups.emplace_back(replacements_[k].name(), placed.files[k].backup);
      }
    }
  }

 private:
  static constexpr std::size_t kBlock = 1 << 20;

  void flush() {
    hash_.add(pending_);
    size_ += pending_.size();
    if (writing_ && !failed_ && !replacements_.back().write(pending_)) {
      fail(path_, replacements_.back().reason());
    }
    pending_.clear();
  }
  // Whether the file holds the bytes written: its size, and its bytes
  // hashed in the same blocks.
  bool sameAsFile(const std::string& path) {
    InputFile input;
    if (input.open(path) != InputFile::Status::Open || !input.regular() ||
        static_cast<std::size_t>(input.state().size) != size_) {
      return false;
    }
    BlockHash hash;
    std::string block;
    for (std::size_t at = 0; at < size_; at += kBlock) {
      const std::size_t length = std::min(kBlock, size_ - at);
      if (!input.readAt(static_cast<off_t>(at), length, block)) return false;
      hash.add(block);
    }
    return hash.finish() == hash_.finish();
  }
  void fail(const std::string& file, const std::string& reason) {
    if (failed_) return;
    failed_ = true;
    outcome_.failedFile = file;
    outcome_.reason = reason;
  }
  static void makeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
      mkdir(path.substr(0, slash).c_str(), 0777);
    }
  }

  const ImportOptions& options_;
  ImportOutcome& outcome_;
  FileHeader file_;
  std::string path_, pending_;
  BlockHash hash_;
  std::size_t size_ = 0;
  bool writing_ = false, exists_ = false, failed_ = false;
  std::vector<ReplacementFile> replacements_;
  std::vector<InputFile> locks_;
};

// One pass over the document; false when it is not well-formed JSON (the
// error said).
bool readDocument(InputFile& document, Checker& check, Sink& sink) {
  lseek(document.fd(), 0, SEEK_SET);
  PositionStream stream(document.fd());
  Reader handler(stream, check, sink);
  rapidjson::Reader reader;
  const rapidjson::ParseResult result =
      reader.Parse<rapidjson::kParseNumbersAsStringsFlag | rapidjson::kParseValidateEncodingFlag>(
          stream, handler);
  if (result.IsError()) {
    const auto [line, column] = stream.here();
    check.error(line, column, "not JSON: ", rapidjson::GetParseError_En(result.Code()));
    return false;
  }
  handler.checkDocument();
  return true;
}

}  // namespace

ImportOutcome importWorld(InputFile& document, const ImportOptions& options) {
  ImportOutcome outcome;
  Checker check(outcome.errors, outcome.moreErrors);
  CheckingSink checking;
  if (!readDocument(document, check, checking) || check.failed()) {
    check.sortErrors();
    return outcome;
  }
  // Written as read a second time: when the document changed in between
  // and has errors now, nothing is put in place.
  WritingSink writing(options, outcome);
  if (!readDocument(document, check, writing) || check.failed()) {
    check.sortErrors();
    outcome.files.clear();
    return outcome;
  }
  if (!options.dryRun && outcome.failedFile.empty()) writing.commit();
  return outcome;
}

}  // namespace rb
