// Reading room files and data files as streams: a line, a record or a row at
// a time, in one pass, holding no more of the file than the record at hand.
// Each view handed out stays valid until the next call on the same reader.
//
// Two ways of splitting a room file into records:
// - RecordReader, the whole-file reading of the transfer, check, map and
//   link: a record starts at a header line ("NAME(user,com,dir)") and runs to
//   the next header line or the end of the file, whatever its layout; what
//   comes before the first header line is the prologue.
// - FixedRecordReader, the explorer's reading: a record is the fixed number
//   of lines the room writer writes (13, 14 with a command line or an event
//   line, 15 with both) after any line that holds an underscore; reading
//   ends at the first line where a header should be and is not.
// They differ on files the writer did not write: a comment before the first
// record is the prologue for the first, and ends the reading for the second
// unless it holds an underscore (then everything after it is read out of
// step); both read two records of one number, which the explorer's map then
// keeps one of.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace rb {

// A file that cannot be read: too large to hold (a line or a record beyond
// any room file, or a file that never ends, such as /dev/zero), or an error
// of read(2).
struct AreaReadError {
  bool tooLarge = false;
  int error = 0;  // errno when not too large
};

// The lines of a file, each with its line break (the last may lack one).
class LineReader {
 public:
  // How much one read(2) asks for at most: a whole file is read fastest in
  // large reads; a reader that runs beside the interactive program, whose
  // memory stays small, asks for less.
  static constexpr std::size_t kLargeReads = 1 << 20;
  static constexpr std::size_t kSmallReads = 64 * 1024;

  // Reads `fd` from where it stands; the caller keeps it open.
  explicit LineReader(int fd, std::size_t largestRead = kLargeReads);
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // The next line, or false at the end of the file. Throws AreaReadError.
  bool next(std::string_view& line);
  // The next header line of a record, the lines before it passed over (and
  // held, when lines are held) in one go; false at the end of the file, all
  // lines passed. Much faster than line after line, for a room file's
  // records are most of its lines.
  bool nextHeader(std::string_view& line);
  // The number of the line last returned, counted from 1.
  long long lineNumber() const { return lineNumber_; }

  // From the line last returned on, the lines are kept together in memory,
  // so that they can be taken as one text: a record.
  void holdFromLast();
  // The lines held, up to (not including) the line last returned.
  std::string_view heldBeforeLast() const;
  // The lines held, the line last returned included.
  std::string_view heldAll() const;
  // Where in the file the lines held begin, in bytes.
  long long heldOffset() const { return dropped_ + static_cast<long long>(held_); }
  // Whether a carriage return was among the lines held before the line
  // last returned (a header line holds none where it counts: its CR, if
  // any, is part of its line end).
  bool heldReturn() const { return sawReturn_; }

  // The number of the first line that ended in CR LF, or 0 when none did.
  long long firstCrLfLine() const { return firstCrLf_; }
  // Whether a line ended in a line break without a carriage return.
  bool sawLfLine() const { return sawLf_; }
  // Where in the file the line last returned begins, in bytes.
  long long lastOffset() const { return dropped_ + static_cast<long long>(lastStart_); }
  // The bytes read so far: at the end of the file, its size.
  long long bytesRead() const { return dropped_ + static_cast<long long>(end_); }

 private:
  // Reads more of the file, keeping what is still needed; false at its end.
  bool fill();
  // Passes over the lines in [pos_, to), which end with a line break.
  void passLines(std::size_t to);
  // Returns the line [start, end) as the next one.
  void returnLine(std::size_t start, std::size_t end, std::string_view& line);

  int fd_;
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_ = 0;
  std::size_t readSize_ = 0;
  std::size_t largestRead_;
  bool holding_ = false;
  std::size_t held_ = 0;       // start of the held lines
  std::size_t lastStart_ = 0;  // start of the line last returned
  std::size_t break_ = 0;      // end of the line being returned
  std::size_t pos_ = 0;        // the next byte to return
  std::size_t end_ = 0;        // the end of what has been read
  long long dropped_ = 0;      // bytes of the file before the buffer's start
  bool ended_ = false;
  long long lineNumber_ = 0;
  bool sawCrLf_ = false;
  long long firstCrLf_ = 0;
  bool sawLf_ = false;
  bool sawReturn_ = false;  // since the lines were held
};

// A record of a room file, or a line of its prologue.
struct RecordText {
  bool prologue = false;        // a line before the first record
  std::string_view text;        // the record's bytes (or the prologue line)
  long long line = 0;           // its first line, counted from 1
  std::string_view function;    // the function name of its header line
  bool carriageReturn = false;  // it holds a CR (and may have CR LF line ends)
  long long offset = 0;         // where in the file it begins, in bytes (records only)
};

class RecordReader {
 public:
  explicit RecordReader(LineReader& lines) : lines_(lines) {}
  // Starts with the line the caller read last, a header line: the reader
  // has already been read from (to tell a room file from a data file).
  void startAtLastLine();
  // The next record or prologue line; false at the end. Throws AreaReadError.
  bool next(RecordText& record);

 private:
  LineReader& lines_;
  bool havePending_ = false;  // the header line of the next record has been read
  long long pendingLine_ = 0;
  bool ended_ = false;
};

// A line of a data file: a row, or whatever else the file holds there.
struct RowText {
  std::string_view text;      // the line, line break included
  long long line = 0;         // counted from 1
  std::string_view function;  // its text before the first comma
};

class RowReader {
 public:
  explicit RowReader(LineReader& lines) : lines_(lines) {}
  bool next(RowText& row);

 private:
  LineReader& lines_;
};

// A record as the explorer reads it: the header line, the links line and the
// look line, each empty when the file ended before it.
struct FixedRecordText {
  std::string_view header;
  std::string_view links;
  std::string_view look;
};

class FixedRecordReader {
 public:
  explicit FixedRecordReader(LineReader& lines) : lines_(lines) {}
  // The next record: false when the file ended or its header line is not
  // one (empty, or without an underscore). A record cut short by the end of
  // the file is returned, and the next call returns false.
  bool next(FixedRecordText& record);

 private:
  bool skip(int count);

  LineReader& lines_;
  std::string header_, links_, look_;  // copies: the lines after them replace the views
  bool ended_ = false;
};

// A record's text with CR LF line ends made LF (in `scratch`), so that a
// record saved by another system's editor reads as the same fields; the text
// itself when it has none.
std::string_view withLfLineEnds(std::string_view text, std::string& scratch);

}  // namespace rb
