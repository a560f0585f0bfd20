#include "tools/json/world_import.h"

// RapidJSON's fast paths for strings held in memory.
#if defined(__SSE2__)
#define RAPIDJSON_SSE2
#endif
#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <tuple>

#include "base/background_job.h"
#include "base/byte_hash.h"
#include "base/byte_search.h"
#include "base/number_text.h"
#include "base/text_append.h"
#include "base/utf8.h"
#include "base/write_all.h"
#include "format/data_row.h"
#include "format/exit_slot.h"
#include "format/function_name.h"
#include "format/record_batch.h"
#include "format/region_name.h"
#include "format/room_record.h"
#include "format/terrain_table.h"
#include "tools/json/json_text.h"

namespace rb {

namespace {

// A value of the document, small: an item of a file's content, or the
// fields of a file or of the document.
struct Node {
  enum class Type { Null, Bool, Number, String, Object, Array };
  Type type = Type::Null;
  bool boolean = false;
  std::string text;  // a string (as bytes), or a number's digits
  std::vector<std::pair<std::string_view, Node*>> members;  // names from KeyNames
  std::vector<Node*> items;
  std::size_t index = 0;  // its place among the reader's nodes
  std::size_t at = 0;     // where its token begins in the document

  // Members are mostly asked for in the order they stand (the order export
  // writes them): each search starts after the member found last.
  const Node* member(std::string_view name) const {
    const std::size_t count = members.size();
    for (std::size_t k = 0, place = next < count ? next : 0; k < count; ++k) {
      if (members[place].first == name) {
        next = place + 1;
        return members[place].second;
      }
      place = place + 1 == count ? 0 : place + 1;
    }
    return nullptr;
  }
  mutable std::size_t next = 0;
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

// The texts of the keys of the document, each kept once: a node names its
// members by views of them, which stay while the document is read and its
// items are handled. A key is mostly one met before (a field's name),
// found in a small cache without a search.
class KeyNames {
 public:
  std::string_view find(std::string_view key) {
    std::array<std::string_view, 2>& ways = cache_[slot(key)];
    if (ways[0] == key) return ways[0];
    if (ways[1] == key) {
      std::swap(ways[0], ways[1]);
      return ways[0];
    }
    auto kept = kept_.find(key);
    if (kept == kept_.end()) kept = kept_.emplace(key).first;
    ways[1] = ways[0];
    ways[0] = *kept;
    return ways[0];
  }
  // A number for `key` from 0 to 127, the same for the same key.
  static unsigned slot(std::string_view key) {
    if (key.empty()) return 0;
    const auto byte = [&key](std::size_t k) { return static_cast<unsigned char>(key[k]); };
    return static_cast<unsigned>(key.size() * 15 + byte(0) * 2 + byte(key.size() - 1) +
                                 byte(key.size() / 2)) %
           128u;
  }

 private:
  std::array<std::array<std::string_view, 2>, 128> cache_{};
  std::set<std::string, std::less<>> kept_;  // a set's texts stay where they are
};

// What is done with the document's parts as they are read.
class Sink {
 public:
  virtual ~Sink() = default;
  virtual void beginFile(const FileHeader& file) = 0;
  virtual void item(const Item& item) = 0;
  virtual void endFile() = 0;
};

// The errors found, by either thread: the first in document order kept,
// with a count of the rest.
class ErrorList {
 public:
  ErrorList(std::vector<ImportError>& errors, std::size_t& more) : errors_(errors), more_(more) {}

  void add(std::size_t at, std::string text) {
    failed_ = true;
    const std::lock_guard<std::mutex> lock(mutex_);
    // The first errors in document order are kept (those of an item are
    // found when it is whole, in the order its fields are checked): a heap
    // whose top is the last of them.
    errors_.push_back({0, 0, std::move(text), found_++, at});
    std::push_heap(errors_.begin(), errors_.end(), documentOrder);
    if (errors_.size() > kMostImportErrors) {
      std::pop_heap(errors_.begin(), errors_.end(), documentOrder);
      errors_.pop_back();
      ++more_;
    }
  }
  // Whether an error was found.
  bool failed() const { return failed_; }
  // The errors kept, in document order (once no thread adds any).
  void sort() { std::sort_heap(errors_.begin(), errors_.end(), documentOrder); }

 private:
  static bool documentOrder(const ImportError& a, const ImportError& b) {
    return std::tie(a.offset, a.found) < std::tie(b.offset, b.found);
  }

  std::mutex mutex_;
  std::vector<ImportError>& errors_;
  std::size_t& more_;
  std::size_t found_ = 0;
  std::atomic<bool> failed_ = false;
};

// The checks of every part, and the conversion of items.
class Checker {
 public:
  explicit Checker(ErrorList& errors) : errors_(errors) {}

  template <class... Args>
  void error(const Node& node, const Args&... said) {
    error(node.at, said...);
  }
  // An error at the byte `at` of the document.
  template <class... Args>
  void error(std::size_t at, const Args&... said) {
    std::string text;
    appendText(text, said...);
    errors_.add(at, std::move(text));
    ++said_;
  }
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
    // Mostly the members stand in the order of `known`: each is looked for
    // from the one after the last found.
    std::size_t next = 0;
    for (const auto& [key, value] : object.members) {
      bool listed = false;
      for (std::size_t k = 0, at = next; k < known.size() && !listed; ++k) {
        if (known.begin()[at] == key) {
          listed = true;
          next = at + 1 == known.size() ? 0 : at + 1;
        }
        at = at + 1 == known.size() ? 0 : at + 1;
      }
      if (!listed) error(*value, "\"", key, "\" is not a field here");
    }
  }
  std::optional<int> integer(const Node& number, std::string_view name) {
    int value = 0;
    if (wholeIntInRange(number.text, value)) return value;
    error(number, "\"", name, "\" must be a whole number within the range of int");
    return std::nullopt;
  }
  // A text the room menu could hold, into `out`: at most `most` bytes,
  // none of the characters no editor can type. `line`: the line of `what`
  // it is, from 1 (0 for none).
  void text(const Node& string, std::string_view what, std::size_t line, std::size_t most,
            std::string& out) {
    assignBytesOfJsonText(out, string.text);
    if (out.size() > most) {
      error(string, what, line > 0 ? " line " : "", line > 0 ? std::to_string(line) : "", " has ",
            out.size(), " bytes; the room menu holds ", most);
    }
    if (findFirstOf<'\n', '\0', '\x1b'>(out) != out.size()) {
      error(string, what, line > 0 ? " line " : "", line > 0 ? std::to_string(line) : "",
            " holds a line break, a NUL or an escape character, which no editor types");
    }
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
      text(line, what, k + 1, kTextLineSize - 1, out[k]);
      last = static_cast<int>(k);
    }
    return last;
  }

  void room(const Node& node, Item& item) {
    onlyFields(node, {"number", "region", "shortName", "description", "exits", "command",
                      "response", "event"});
    item.kind = Item::Kind::Room;
    WorkingRoom& room = item.room;
    clearForReading(room);
    room.roomterrain = 1;
    room.roomdark = 1;
    if (const Node* number = field(node, "number", Node::Type::Number, true)) {
      if (const auto value = integer(*number, "number")) room.room = *value;
    }
    if (const Node* region = field(node, "region", Node::Type::String, true)) {
      assignBytesOfJsonText(room.tempregionname, region->text);
      if (room.tempregionname.size() >= kRegionNameSize || !validRegionName(room.tempregionname)) {
        error(*region,
              "the region name must be ASCII letters, digits and underscores, not "
              "starting with a digit, at most ",
              kRegionNameSize - 1, " bytes");
      }
    }
    if (const Node* name = field(node, "shortName", Node::Type::String, true)) {
      text(*name, "the short name", 0, kShortNameSize - 1, room.shortname);
    }
    if (const Node* description = field(node, "description", Node::Type::Array, false)) {
      room.lines = lines(*description, "the description", room.ldesc);
    }
    if (const Node* exits = field(node, "exits", Node::Type::Object, false)) {
      std::size_t next = 0;  // exits mostly stand in the order of the table
      for (const auto& [key, value] : exits->members) {
        int slot = 0;
        for (std::size_t k = 0, at = next; k < kExitSlots.size() && slot == 0; ++k) {
          if (kExitSlots[at].word == key) {
            slot = kExitSlots[at].slot;
            next = at + 1 == kExitSlots.size() ? 0 : at + 1;
          }
          at = at + 1 == kExitSlots.size() ? 0 : at + 1;
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
        text(word, "a word of the command", 0, kWordSize - 1, room.comm[k + 1]);
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
        this->text(*text, "the event text", 0, kRandTextSize - 1, room.randtext);
      }
    }
  }

  void row(const Node& node, Item& item) {
    onlyFields(node, {"function", "region", "dark", "terrain"});
    item.kind = Item::Kind::Row;
    if (const Node* function = field(node, "function", Node::Type::String, true)) {
      std::string_view region;
      int number = 0;
      assignBytesOfJsonText(item.text, function->text);
      if (!menuFunctionName(item.text, region, number)) {
        error(*function, "the function name must be a region name, \"l_\" and a room number");
      } else {
        item.room.tempregionname.assign(region);
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
  }

  // The item `node` of a file's content into `item`; false when it is in
  // error (said).
  bool contentItem(const Node& node, const FileHeader& file, Item& item) {
    if (node.type != Node::Type::Object || node.members.size() != 1) {
      error(node,
            "an item of a file's content must be an object of one field: \"text\", \"room\" "
            "or \"row\"");
      return false;
    }
    const auto& [key, value] = node.members.front();
    if (key == "text") {
      if (value->type != Node::Type::String) {
        error(*value, "\"text\" must be a string");
        return false;
      }
      item.kind = Item::Kind::Text;
      assignBytesOfJsonText(item.text, value->text);
      return true;
    }
    if (key == "room" || key == "row") {
      if (value->type != Node::Type::Object) {
        error(*value, "\"", key, "\" must be an object");
        return false;
      }
      if ((key == "room") != file.rooms) {
        error(node, key == "room" ? "a room in a data file" : "a row in a room file");
        return false;
      }
      const std::size_t before = said_;
      if (key == "room") {
        room(*value, item);
      } else {
        row(*value, item);
      }
      return said_ == before;
    }
    error(node, "\"", key, "\" is not an item (\"text\", \"room\" or \"row\")");
    return false;
  }

 private:
  ErrorList& errors_;
  std::size_t said_ = 0;  // errors this checker found
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

// Nodes, kept to be used again with the room their texts and lists have
// taken: a stack, the first `used` in use.
class NodePool {
 public:
  Node* add() {
    if (used_ == nodes_.size()) nodes_.emplace_back();
    Node* node = &nodes_[used_];
    node->index = used_++;
    node->members.clear();
    node->next = 0;
    node->items.clear();
    node->text.clear();
    return node;
  }
  // Lets go of `node` and every node added after it.
  void releaseFrom(const Node* node) { used_ = node->index; }
  void clear() { used_ = 0; }

 private:
  std::deque<Node> nodes_;  // a deque: a node stays where it is
  std::size_t used_ = 0;
};

// What becomes of the items of the files' content as they are read: each
// checked, made an Item and handed to the sink, in document order with the
// files' beginnings and ends. The items of a large document are handled on
// a second thread, a batch at a time, while the reader reads on; the nodes
// of an item are the batch's until it is handled.
class ItemStage {
 public:
  ItemStage(ErrorList& errors, Sink& sink, bool beside)
      : check_(errors), sink_(sink), beside_(beside) {}

  // A node of the item being read.
  Node* newNode() { return batches_[filling_].nodes.add(); }
  void beginFile(const FileHeader& file) { add({Event::Begin, file, nullptr}); }
  // The item read, whose nodes are the last added; `checked` is false for
  // an item of a file whose own fields are in error (it is let go).
  void item(const Node* node, bool checked) {
    add({checked ? Event::Item : Event::Skip, {}, node});
  }
  void endFile() { add({Event::End, {}, nullptr}); }
  // Handles what is left and waits until all is handled.
  void finish() {
    handOver();
    job_.wait();
  }

 private:
  // Events a batch holds: fewer cost more hand-overs between the threads,
  // more keep more nodes out of the processor's cache (both measured).
  static constexpr std::size_t kEvents = 512;
  struct Event {
    enum Kind { Begin, Item, Skip, End } kind = Begin;
    FileHeader file;  // Begin
    const Node* node = nullptr;
  };
  struct Batch {
    std::vector<Event> events;
    NodePool nodes;
  };

  void add(Event event) {
    Batch& batch = batches_[filling_];
    batch.events.push_back(std::move(event));
    if (!beside_) {
      handle(batch);
    } else if (batch.events.size() == kEvents) {
      handOver();
    }
  }
  void handOver() {
    Batch& batch = batches_[filling_];
    if (batch.events.empty()) return;
    job_.wait();  // the other batch is handled
    job_.start([this, &batch] { handle(batch); });
    filling_ = 1 - filling_;
  }
  // On one thread at a time: the second, or this one for a small document.
  void handle(Batch& batch) {
    for (const Event& event : batch.events) {
      switch (event.kind) {
        case Event::Begin:
          file_ = event.file;
          sink_.beginFile(file_);
          break;
        case Event::Item:
          if (check_.contentItem(*event.node, file_, item_)) sink_.item(item_);
          break;
        case Event::Skip:
          break;
        case Event::End:
          sink_.endFile();
          break;
      }
    }
    batch.events.clear();
    batch.nodes.clear();
  }

  Checker check_;  // the items' own
  Sink& sink_;
  const bool beside_;
  FileHeader file_;
  Item item_;
  Batch batches_[2];
  std::size_t filling_ = 0;
  BackgroundJob job_;  // last: ends (waiting for its job) before the batches go
};

// The SAX events of the document into small nodes: the document's fields
// and each file's, and each item of a file's content, which goes to the
// sink as soon as it is whole and is then let go.
// What a node being built is to the reader: the document, the files, a
// file, a file's content (the files and the content are streamed), or
// anything else.
enum class Role { Plain, Document, Files, File, Content };

// The events of RapidJSON's reader of a string in memory. Where a token
// begins is found from the stream: while a string or a number is read, the
// reader works on a copy of the stream, so the stream stands at the token's
// first character when its event comes; after a bracket or a literal, it
// stands after it.
class Reader : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, Reader> {
 public:
  // `passed` is told the offset after each item of content.
  Reader(rapidjson::StringStream& stream, Checker& check, ItemStage& items, KeyNames& keys,
         std::function<void(std::size_t)> passed)
      : stream_(stream),
        check_(check),
        items_(items),
        keys_(keys),
        itemPassed_(std::move(passed)) {}

  bool Null() {
    start(Node::Type::Null, stream_.Tell() - 4);
    return finish();
  }
  bool Bool(bool b) {
    Node* node = start(Node::Type::Bool, stream_.Tell() - (b ? 4 : 5));
    node->boolean = b;
    return finish();
  }
  bool RawNumber(const char* text, rapidjson::SizeType length, bool) {
    Node* node = start(Node::Type::Number, stream_.Tell());
    node->text.assign(text, length);
    return finish();
  }
  bool String(const char* text, rapidjson::SizeType length, bool) {
    Node* node = start(Node::Type::String, stream_.Tell());
    node->text.assign(text, length);
    return finish();
  }
  bool Key(const char* text, rapidjson::SizeType length, bool) {
    Frame& frame = frames_.back();
    frame.key = keys_.find({text, length});
    frame.keyAt = stream_.Tell();
    // A key given twice is looked for only when one like it was given
    // before: most keys are not.
    const std::uint64_t bit = std::uint64_t{1} << (KeyNames::slot(frame.key) % 64);
    if ((frame.keysLike & bit) != 0 && frame.node->member(frame.key)) {
      check_.error(frame.keyAt, "\"", frame.key, "\" is given twice");
    }
    frame.keysLike |= bit;
    return true;
  }
  bool StartObject() {
    start(Node::Type::Object, stream_.Tell() - 1);
    return true;
  }
  bool EndObject(rapidjson::SizeType) { return finish(); }
  bool StartArray() {
    start(Node::Type::Array, stream_.Tell() - 1);
    return true;
  }
  bool EndArray(rapidjson::SizeType) { return finish(); }

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
    std::string_view key;  // from keys_
    std::size_t keyAt = 0;
    Role role = Role::Plain;
    std::uint64_t keysLike = 0;  // a bit for each kind of key given (Key)
  };

  // A node's subtree is built after it, so letting go of a file is letting
  // go of the nodes from its own on. An item's nodes are the item stage's.
  Node* start(Node::Type type, std::size_t at) {
    if (!frames_.empty() && frames_.back().role == Role::Content) inItem_ = true;
    Node* node = inItem_ ? items_.newNode() : nodes_.add();
    node->type = type;
    node->at = at;
    Node* raw = node;
    Role role = Role::Plain;
    if (frames_.empty()) {
      root_ = node;
      role = Role::Document;
    } else {
      Frame& parent = frames_.back();
      // The files, and a file's content, are streamed: arrays only.
      const bool array = type == Node::Type::Array;
      if (parent.role == Role::Document && parent.key == "files") {
        if (array) role = Role::Files;
      } else if (parent.role == Role::Files) {
        role = Role::File;
      } else if (parent.role == Role::File && parent.key == "content" && array) {
        role = Role::Content;
        beginFile(*parent.node);
      }
      pending_.push_back(node);
    }
    if (type == Node::Type::Object || type == Node::Type::Array) {
      frames_.push_back({raw, {}, 0, role});
    } else {
      scalarRole_ = role;
    }
    return raw;
  }

  // The node just ended (scalar, object or array) goes into its parent, or
  // is handled now when it is a file or an item of content.
  bool finish() {
    Role role = scalarRole_;
    scalarRole_ = Role::Plain;
    // Which node ended: an object or array that was open, or the last scalar.
    Node* ended = pending_.empty() ? root_ : pending_.back();
    if (!frames_.empty() && frames_.back().node == ended) {
      role = frames_.back().role;
      frames_.pop_back();
    }
    if (frames_.empty()) return true;  // the document itself
    Node* done = pending_.back();
    pending_.pop_back();
    Frame& parent = frames_.back();
    if (parent.role == Role::Document) checkDocumentField(parent.key, *done);
    if (parent.role == Role::Content) {
      items_.item(done, fileOpen_);
      inItem_ = false;
      if (itemPassed_) itemPassed_(stream_.Tell());
      return true;
    }
    if (parent.role == Role::Files) {
      endFile(*done);
      nodes_.releaseFrom(done);
      return true;
    }
    if (role == Role::Files || role == Role::Content) {
      // Streamed: its items are not kept.
      done->items.clear();
    }
    if (parent.node->type == Node::Type::Object) {
      parent.node->members.emplace_back(parent.key, done);
    } else {
      parent.node->items.push_back(done);
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
      items_.endFile();
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
    if (fileOpen_) items_.beginFile(file_);
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

  rapidjson::StringStream& stream_;
  Checker& check_;
  ItemStage& items_;
  KeyNames& keys_;
  NodePool nodes_;       // the document's and the files' (not their items')
  bool inItem_ = false;  // an item of content is being read
  Node* root_ = nullptr;
  std::vector<Node*> pending_;  // the nodes being built, innermost last
  std::function<void(std::size_t)> itemPassed_;
  std::vector<Frame> frames_;
  Role scalarRole_ = Role::Plain;
  FileHeader file_;
  bool fileOpen_ = false;
  std::set<std::string> names_;
};

// The bytes of an item as its file holds them.
void appendItem(std::string& out, const Item& item, bool crLf) {
  const std::size_t start = out.size();
  switch (item.kind) {
    case Item::Kind::Text:
      out += item.text;
      return;
    case Item::Kind::Room:
      appendRoomRecord(out, item.room);
      break;
    case Item::Kind::Row:
      appendDataRow(out, item.room, item.row);
      break;
  }
  if (!crLf) return;
  const auto breaks = static_cast<std::size_t>(
      std::count(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(), '\n'));
  out.resize(out.size() + breaks);
  // From the end: each line break gets its carriage return before it.
  std::size_t to = out.size();
  for (std::size_t from = out.size() - breaks; from > start;) {
    const char c = out[--from];
    out[--to] = c;
    if (c == '\n') out[--to] = '\r';
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

// Each file's new bytes, written beside it (or only hashed, for a dry
// run), and whether they differ from what it holds.
class WritingSink : public Sink {
 public:
  WritingSink(const ImportOptions& options, ImportOutcome& outcome, const ErrorList& errors)
      : options_(options), outcome_(outcome), errors_(errors) {}

  void beginFile(const FileHeader& file) override {
    file_ = file;
    path_ = options_.into.empty() ? file.name : options_.into + "/" + file.name;
    hash_ = BlockHash();
    size_ = 0;
    pending_.clear();
    if (errors_.failed()) abandon();
    writing_ = !options_.dryRun && !abandoned_;
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
    if (abandoned_) return;
    if (errors_.failed()) {
      abandon();
      return;
    }
    appendItem(pending_, item, file_.crLf);
    if (pending_.size() >= kBlock) flush();
  }
  void endFile() override {
    if (abandoned_) return;
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

  // Gives up what is written (the document has errors): every file
  // written beside another removed, and every folder made for them.
  void abandon() {
    if (abandoned_) return;
    abandoned_ = true;
    writing_ = false;
    for (ReplacementFile& replacement : replacements_)
      replacement.abandon();
    replacements_.clear();
    locks_.clear();
    for (auto folder = madeFolders_.rbegin(); folder != madeFolders_.rend(); ++folder)
      rmdir(folder->c_str());
    madeFolders_.clear();
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
    // Only a file that exists is compared with what it would become.
    if (exists_) hash_.add(pending_);
    size_ += pending_.size();
    if (writing_ && !failed_ && !replacements_.back().writeTaking(pending_)) {
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
  void makeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
      std::string folder = path.substr(0, slash);
      if (mkdir(folder.c_str(), 0777) == 0) madeFolders_.push_back(std::move(folder));
    }
  }

  const ImportOptions& options_;
  ImportOutcome& outcome_;
  FileHeader file_;
  std::string path_, pending_;
  BlockHash hash_;
  std::size_t size_ = 0;
  const ErrorList& errors_;
  bool writing_ = false, exists_ = false, failed_ = false, abandoned_ = false;
  std::vector<std::string> madeFolders_;
  std::vector<ReplacementFile> replacements_;
  std::vector<InputFile> locks_;
};

// The line and column of each error (in document order), from its offset,
// the lines of the document counted as far as the last of them.
void findPositions(std::string_view document, std::vector<ImportError>& errors) {
  long long line = 1;
  std::size_t lineStart = 0, counted = 0;
  for (ImportError& error : errors) {
    const std::size_t at = std::min(error.offset, document.size());
    for (std::size_t end = document.find('\n', counted); end < at;
         end = document.find('\n', end + 1)) {
      ++line;
      lineStart = end + 1;
    }
    counted = std::max(counted, at);
    error.line = line;
    error.column = static_cast<long long>(at - lineStart) + 1;
  }
}

// The document mapped into memory whole, and read as one string:
// RapidJSON reads that fastest. The pages read are let go as it goes, so
// that the memory it takes stays small (they are read from the file again
// when needed). A page of zeros follows the document: the NUL that ends the
// string. What is not a regular file (a pipe) is first copied to a
// temporary file.
class MappedDocument {
 public:
  // False, with errno, when it cannot be read.
  bool map(int fd) {
    struct stat info {};
    if (fstat(fd, &info) != 0) return false;
    if (!S_ISREG(info.st_mode)) {
      if (!spool(fd)) return false;
      fd = spool_;
      if (fstat(fd, &info) != 0) return false;
    }
    size_ = static_cast<std::size_t>(info.st_size);
    page_ = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    length_ = (size_ / page_ + 1) * page_;
    void* area = mmap(nullptr, length_, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (area == MAP_FAILED) return false;
    data_ = static_cast<char*>(area);
    return size_ == 0 ||
           mmap(data_, size_, PROT_READ, MAP_PRIVATE | MAP_FIXED, fd, 0) != MAP_FAILED;
  }
  ~MappedDocument() {
    if (data_) munmap(data_, length_);
    if (spool_ >= 0) close(spool_);
  }
  const char* data() const { return data_; }
  std::string_view text() const { return {data_, size_}; }
  // Lets go of the pages wholly before `offset`.
  void passed(std::size_t offset) {
    constexpr std::size_t kStep = 8 << 20;
    const std::size_t end = offset / page_ * page_;
    if (end < dropped_ + kStep) return;
    madvise(data_ + dropped_, end - dropped_, MADV_DONTNEED);
    dropped_ = end;
  }
  void rewind() { dropped_ = 0; }

 private:
  bool spool(int fd) {
    const char* folder = std::getenv("TMPDIR");
    std::string name = std::string(folder && *folder ? folder : "/tmp") + "/roombuilder-XXXXXX";
    spool_ = mkstemp(name.data());
    if (spool_ < 0) return false;
    unlink(name.c_str());
    std::vector<char> block(1 << 20);
    for (;;) {
      const ssize_t got = read(fd, block.data(), block.size());
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return false;
      if (got == 0) return true;
      if (!writeAll(spool_, std::string_view(block.data(), static_cast<std::size_t>(got)))) {
        return false;
      }
    }
  }

  char* data_ = nullptr;
  int spool_ = -1;
  std::size_t size_ = 0, length_ = 0, page_ = 4096, dropped_ = 0;
};

// Where the document is first not valid UTF-8, or its size: checked fast,
// a block at a time, its pages let go as it goes.
std::size_t firstInvalidByte(MappedDocument& mapped) {
  constexpr std::size_t kBlock = 8 << 20;
  const std::string_view text = mapped.text();
  for (std::size_t at = 0; at < text.size();) {
    // A block ends with a whole character: at most three bytes earlier.
    const std::size_t end = std::min(text.size(), at + kBlock);
    std::size_t cut = end;
    while (cut < text.size() && cut > at && end - cut < 3 &&
           (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
      --cut;
    const std::size_t bad = firstInvalidUtf8(text.substr(at, cut - at));
    if (bad < cut - at) return at + bad;
    at = cut;
    mapped.passed(at);
  }
  mapped.rewind();
  return text.size();
}

// One pass over the document; false when it is not JSON (the error said).
bool readDocument(MappedDocument& mapped, Checker& check, ItemStage& items, KeyNames& keys) {
  // UTF-8 is checked first, so that the reader need not check it again.
  if (const std::size_t bad = firstInvalidByte(mapped); bad < mapped.text().size()) {
    check.error(bad, "not JSON: ",
                rapidjson::GetParseError_En(rapidjson::kParseErrorStringInvalidEncoding));
    return false;
  }
  rapidjson::StringStream stream(mapped.data());
  Reader handler(stream, check, items, keys, [&](std::size_t offset) { mapped.passed(offset); });
  rapidjson::Reader reader;
  const rapidjson::ParseResult result =
      reader.Parse<rapidjson::kParseNumbersAsStringsFlag>(stream, handler);
  if (result.IsError()) {
    check.error(result.Offset(), "not JSON: ", rapidjson::GetParseError_En(result.Code()));
    return false;
  }
  // A NUL in the document ends the string early.
  if (stream.Tell() < mapped.text().size()) {
    check.error(stream.Tell(), "not JSON: ",
                rapidjson::GetParseError_En(rapidjson::kParseErrorDocumentRootNotSingular));
    return false;
  }
  handler.checkDocument();
  return true;
}

}  // namespace

ImportOutcome importWorld(InputFile& document, const ImportOptions& options) {
  ImportOutcome outcome;
  MappedDocument mapped;
  if (!mapped.map(document.fd())) {
    outcome.failedFile = document.name();
    outcome.reason = std::strerror(errno);
    return outcome;
  }
  ErrorList errors(outcome.errors, outcome.moreErrors);
  Checker check(errors);
  // One pass: each file is written beside the one it replaces as it is
  // read, and all are put in place only when the whole document has no
  // error. At the first error, what was written is given up. A large
  // document's items are made into files on a second thread while it is
  // read.
  WritingSink writing(options, outcome, errors);
  bool read = false;
  KeyNames keys;  // before the items: their nodes name members by its texts
  {
    ItemStage items(errors, writing,
                    mapped.text().size() >= static_cast<std::size_t>(kParseBesideFrom));
    read = readDocument(mapped, check, items, keys);
    items.finish();
  }
  if (!read || errors.failed()) {
    writing.abandon();
    errors.sort();
    findPositions(mapped.text(), outcome.errors);
    outcome.files.clear();
    outcome.failedFile.clear();
    return outcome;
  }
  if (!options.dryRun && outcome.failedFile.empty()) {
    writing.commit();
  } else {
    writing.abandon();
  }
  return outcome;
}

}  // namespace rb
