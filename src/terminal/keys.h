// Keystrokes as terminals send them. A key is a byte (0..255), or one of the
// named keys below for an escape sequence, each read as one key with all its
// bytes: ESC [ ... final byte (CSI), ESC O x (SS3), the Linux console's
// ESC [ [ x, the control strings ESC ] ... BEL or ESC \ (OSC) and ESC P, X,
// ^ or _ ... ESC \ (DCS, SOS, PM, APC), ESC with intermediate bytes and a
// final byte (ESC ( B), and ESC with one other byte (ESC c, or Alt+key).
// So no byte of an escape sequence ever reaches a typed text.
#pragma once

#include "terminal/byte_queue.h"

namespace rb {

inline constexpr int kEscape = 0x1B;

enum NamedKey : int {
  kKeyUp = 0x100,
  kKeyDown,
  kKeyRight,
  kKeyLeft,
  kKeyHome,
  kKeyEnd,
  kKeyPageUp,
  kKeyPageDown,
  kKeyCentre,  // the keypad's 5 with NumLock off
  kKeyInsert,
  kKeyDelete,
  kKeyOther,  // any other sequence: function keys, or one cut short
};

// Reads one key from `in`, or returns -1 when input ends before any byte.
// The bytes after an ESC are waited for as long as it takes when `waitMs` is
// negative (a pipe); otherwise for at most `waitMs` milliseconds each (a
// terminal sends a sequence all at once, so a lone ESC press stays one key).
// ESC followed by a control byte, a byte above 0x7E or nothing is a lone
// ESC; that byte stays unread. The application keypad's ESC O p..y are the
// digits 0..9, and its other keys the characters they are labelled with.
int readKey(ByteQueue& in, int waitMs);

// The keypad digit a key stands for where the program asks for a keypad
// key: the digit itself, or the digit under an arrow, Home, End, Page Up,
// Page Down or the centre key as the keypad sends them with NumLock off.
// Other keys are returned unchanged.
int keypadDigit(int key);

}  // namespace rb
