// Character classes of the C locale, for bytes of typed text and of room
// files. Unlike <cctype>, these never depend on the user's locale and take
// any int (a byte, or -1 at the end of input) without undefined behaviour.
#pragma once

namespace rb {

constexpr bool isDigit(int c) {
  return c >= '0' && c <= '9';
}

constexpr bool isAsciiLetter(int c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// What C calls white space: blank, tab, line feed, vertical tab, form feed,
// carriage return. The formatted reader and atoi skip these.
constexpr bool isSpace(int c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

// A letter, digit or underscore: a character of a C identifier.
constexpr bool isIdentifierChar(int c) {
  return isAsciiLetter(c) || isDigit(c) || c == '_';
}

}  // namespace rb
