// Records parsed on a second thread while this one reads on and keeps what
// was parsed: the strict reading of each record is most of the work of
// reading a room file, and a machine has more than one core.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/background_job.h"
#include "format/area_reader.h"
#include "format/room_model.h"

namespace rb {

// Files from this size on are worth a second thread (room files read,
// JSON documents imported).
inline constexpr long long kParseBesideFrom = 4 << 20;

// Records (and prologue lines) read and copied out of the reader's buffer:
// their bytes one after another, and for each its place in them and what
// the reader said of it; once parsed, its fields and what else the parse
// tells (a `Result`).
template <class Result>
class RecordBatch {
 public:
  // A batch is full at this many records, or at this many bytes (a few
  // records of hundreds of kilobytes fill it as well).
  static constexpr std::size_t kRecords = 1024;
  static constexpr std::size_t kBytes = 1 << 20;
  static constexpr std::size_t kLargeRecord = 4096;

  void clear() {
    // A room that held a large record lets its memory go: over many
    // batches each of the many rooms would otherwise keep the largest
    // record it ever held.
    for (std::size_t k = 0; k < entries_.size(); ++k) {
      if (entries_[k].length > kLargeRecord) {
        WorkingRoom empty;  // (an assignment would keep the strings' room)
        std::swap(rooms[k], empty);
      }
    }
    entries_.clear();
    bytes_.clear();
  }
  std::size_t size() const { return entries_.size(); }
  bool full() const { return entries_.size() >= kRecords || bytes_.size() >= kBytes; }
  void add(const RecordText& text) {
    const std::size_t function =
        text.function.empty() ? 0
                              : static_cast<std::size_t>(text.function.data() - text.text.data());
    entries_.push_back({bytes_.size(), text.text.size(), function, text.function.size(), text.line,
                        text.offset, text.carriageReturn, text.prologue});
    bytes_.append(text.text);
    if (rooms.size() < entries_.size()) {
      rooms.resize(entries_.size());
      results.resize(entries_.size());
    }
  }
  // The k-th as the reader gave it, its bytes now the batch's.
  RecordText text(std::size_t k) const {
    const Entry& e = entries_[k];
    const std::string_view bytes = std::string_view(bytes_).substr(e.begin, e.length);
    RecordText text;
    text.prologue = e.prologue;
    text.text = bytes;
    text.function = bytes.substr(e.function, e.functionLength);
    text.line = e.line;
    text.offset = e.offset;
    text.carriageReturn = e.carriageReturn;
    return text;
  }

  std::vector<WorkingRoom> rooms;  // by record; kept from batch to batch
  std::vector<Result> results;     // by record
  std::string scratch;             // the parse's own

 private:
  struct Entry {
    std::size_t begin, length;             // in bytes_
    std::size_t function, functionLength;  // in the record
    long long line, offset;
    bool carriageReturn, prologue;
  };
  std::vector<Entry> entries_;
  std::string bytes_;
};

// Reads every record and prologue line of `records`. `parse(text, room,
// scratch)` runs on each record (not on prologue lines) on a second thread,
// a batch at a time, and returns its Result; `keep(text, room, result)`
// then sees each in order, prologue lines too, on this thread, while the
// next batch is parsed. `parse` must touch nothing `keep` does.
template <class Result, class Parse, class Keep>
void readRecordsBeside(RecordReader& records, const Parse& parse, const Keep& keep) {
  RecordBatch<Result> batches[2];
  BackgroundJob parser;  // after the batches: ends, waiting for its job, first
  RecordBatch<Result>* parsing = nullptr;
  const auto keepAll = [&keep](const RecordBatch<Result>& batch) {
    for (std::size_t k = 0; k < batch.size(); ++k)
      keep(batch.text(k), batch.rooms[k], batch.results[k]);
  };
  RecordText text;
  for (bool more = true; more;) {
    RecordBatch<Result>& filling = parsing == &batches[0] ? batches[1] : batches[0];
    filling.clear();
    while (!filling.full() && (more = records.next(text)))
      filling.add(text);
    RecordBatch<Result>* parsed = parsing;
    if (parsed) parser.wait();
    parsing = nullptr;
    if (filling.size() > 0) {
      parsing = &filling;
      parser.start([&filling, &parse] {
        for (std::size_t k = 0; k < filling.size(); ++k) {
          const RecordText record = filling.text(k);
          if (!record.prologue)
            filling.results[k] = parse(record, filling.rooms[k], filling.scratch);
        }
      });
    }
    if (parsed) keepAll(*parsed);
  }
  if (parsing) {
    parser.wait();
    keepAll(*parsing);
  }
}

// As readRecordsBeside, or all on this thread when `beside` is false (a
// small file is not worth a second thread).
template <class Result, class Parse, class Keep>
void readRecords(RecordReader& records, bool beside, const Parse& parse, const Keep& keep) {
  if (beside) {
    readRecordsBeside<Result>(records, parse, keep);
    return;
  }
  RecordText text;
  WorkingRoom room;
  std::string scratch;
  while (records.next(text))
    keep(text, room, text.prologue ? Result{} : parse(text, room, scratch));
}

}  // namespace rb
