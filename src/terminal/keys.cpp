#include "terminal/keys.h"

#include "base/char_class.h"

namespace rb {

namespace {

// Parameter, intermediate and final bytes of a control sequence.
bool isParameterByte(int c) {
  return c >= 0x30 && c <= 0x3F;
}
bool isIntermediateByte(int c) {
  return c >= 0x20 && c <= 0x2F;
}
bool isFinalByte(int c) {
  return c >= 0x40 && c <= 0x7E;
}

// The key of a cursor or keypad letter common to CSI and SS3.
int letterKey(int final) {
  switch (final) {
    case 'A':
      return kKeyUp;
    case 'B':
      return kKeyDown;
    case 'C':
      return kKeyRight;
    case 'D':
      return kKeyLeft;
    case 'H':
      return kKeyHome;
    case 'F':
      return kKeyEnd;
    case 'E':
      return kKeyCentre;
    default:
      return kKeyOther;
  }
}

// ESC [ number ~ keys; modifiers after a ';' do not matter.
int tildeKey(int number) {
  switch (number) {
    case 1:
    case 7:
      return kKeyHome;
    case 4:
    case 8:
      return kKeyEnd;
    case 5:
      return kKeyPageUp;
    case 6:
      return kKeyPageDown;
    case 2:
      return kKeyInsert;
    case 3:
      return kKeyDelete;
    default:
      return kKeyOther;
  }
}

// The application keypad (ESC O x): digits and the keys labelled with
// signs; arrows and the rest as CSI has them.
int keypadKey(int final) {
  if (final >= 'p' && final <= 'y') return '0' + (final - 'p');
  switch (final) {
    case 'j':
      return '*';
    case 'k':
      return '+';
    case 'l':
      return ',';
    case 'm':
      return '-';
    case 'n':
      return '.';
    case 'o':
      return '/';
    case 'X':
      return '=';
    case 'M':
      return '\r';  // the keypad's Enter
    default:
      return letterKey(final);
  }
}

class SequenceReader {
 public:
  SequenceReader(ByteQueue& in, int waitMs) : in_(in), waitMs_(waitMs) {}
  // The next byte of the sequence, not taken; -1 when none comes.
  int next() { return waitMs_ < 0 ? in_.peek() : in_.peekWithin(0, waitMs_); }
  // The byte after the next one, not taken.
  int nextAfter() { return waitMs_ < 0 ? in_.peek(1) : in_.peekWithin(1, waitMs_); }
  void take() { in_.skip(); }

 private:
  ByteQueue& in_;
  int waitMs_;
};

int readControlSequence(SequenceReader& seq) {
  int c = seq.next();
  if (c == '[') {  // ESC [ [ x: the Linux console's function keys
    seq.take();
    if (isFinalByte(seq.next())) seq.take();
    return kKeyOther;
  }
  int number = 0;
  bool firstParameter = true;
  for (; isParameterByte(c); c = seq.next()) {
    seq.take();
    if (!isDigit(c)) {
      firstParameter = false;
    } else if (firstParameter && number < 1000) {
      number = number * 10 + (c - '0');
    }
  }
  for (; isIntermediateByte(c); c = seq.next())
    seq.take();
  // A byte that cannot be part of the sequence ends it unfinished; it stays
  // for the next read.
  if (!isFinalByte(c)) return kKeyOther;
  seq.take();
  return c == '~' ? tildeKey(number) : c == 'G' ? kKeyCentre : letterKey(c);
}

// The rest of a control string (OSC, DCS, SOS, PM, APC) after its
// introducer: up to the string terminator ESC \, or BEL for OSC, both taken.
// CAN and SUB cancel the string and are taken too. A line break, or an ESC
// that begins something else, ends the string cut short and stays unread,
// so a string that never ends cannot swallow the lines after it.
void skipControlString(SequenceReader& seq, bool bellEnds) {
  for (int c = seq.next(); c >= 0; c = seq.next()) {
    if (c == '\n' || c == '\r') return;
    if (c == kEscape) {
      if (seq.nextAfter() != '\\') return;
      seq.take();
      seq.take();
      return;
    }
    seq.take();
    if ((c == '\a' && bellEnds) || c == 0x18 || c == 0x1A) return;
  }
}

bool startsControlString(int c) {
  return c == ']' || c == 'P' || c == 'X' || c == '^' || c == '_';
}

}  // namespace

int readKey(ByteQueue& in, int waitMs) {
  const int first = in.peek();
  if (first < 0) return -1;
  in.skip();
  if (first != kEscape) return first;
  SequenceReader seq(in, waitMs);
  const int introducer = seq.next();
  if (introducer == '[') {
    seq.take();
    return readControlSequence(seq);
  }
  if (introducer == 'O') {
    seq.take();
    int final = seq.next();
    // Some terminals put a modifier between O and the letter (ESC O 5 P).
    for (; isParameterByte(final); final = seq.next())
      seq.take();
    if (!isFinalByte(final)) return kKeyOther;
    seq.take();
    return keypadKey(final);
  }
  if (startsControlString(introducer)) {
    seq.take();
    skipControlString(seq, introducer == ']');
    return kKeyOther;
  }
  if (isIntermediateByte(introducer)) {
    // ESC ( B and its kind: intermediate bytes, then one final byte.
    int c = introducer;
    for (; isIntermediateByte(c); c = seq.next())
      seq.take();
    if (c >= 0x30 && c <= 0x7E) seq.take();
    return kKeyOther;
  }
  if (introducer >= 0x30 && introducer <= 0x7E) {
    // A two-byte sequence (ESC c, ESC 7, ESC \), or Alt with a key.
    seq.take();
    return kKeyOther;
  }
  return kEscape;
}

int keypadDigit(int key) {
  switch (key) {
    case kKeyUp:
      return '8';
    case kKeyDown:
      return '2';
    case kKeyRight:
      return '6';
    case kKeyLeft:
      return '4';
    case kKeyHome:
      return '7';
    case kKeyPageUp:
      return '9';
    case kKeyEnd:
      return '1';
    case kKeyPageDown:
      return '3';
    case kKeyCentre:
      return '5';
    default:
      return key;
  }
}

}  // namespace rb
