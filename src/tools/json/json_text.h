// Texts of the files as JSON strings, losing nothing. A JSON document is
// UTF-8, but a room file may hold bytes that are not (Latin-1 typed on an
// old terminal, a stray byte): each such byte B becomes the character
// U+F700 + B of Unicode's private use area. A character of that block that
// is in the text itself is written the same way, byte by byte, so that
// reading back is exact: every character from U+F700 to U+F7FF stands for
// one byte. The schema (doc/world.schema.json) says so too.
#pragma once

#include <string>
#include <string_view>

namespace rb {

// The text as valid UTF-8, with the bytes that are not escaped.
void appendJsonText(std::string& out, std::string_view bytes);
// The same text as a JSON string, quoted and escaped as RapidJSON's writer
// writes it, in one pass.
void appendJsonString(std::string& out, std::string_view bytes);
std::string jsonText(std::string_view bytes);

// The bytes a JSON string (valid UTF-8) stands for.
std::string bytesOfJsonText(std::string_view text);
void assignBytesOfJsonText(std::string& out, std::string_view text);

// The names of the document's parts, shared by the writer and the reader.
namespace world_json {

inline constexpr std::string_view kFormat = "roombuilder-world";
inline constexpr int kVersion = 1;

}  // namespace world_json

}  // namespace rb
