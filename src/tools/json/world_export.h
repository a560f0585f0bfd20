// `roombuilder export`: a world as one JSON document, written as it is read
// (memory flat in the number of rooms), and read back by `import` into the
// same bytes. Its form, version 1, is the project's own, described in
// doc/world.schema.json. It is compact, with a line for each file and each
// item of a file's content, so that it reads quickly and a line diff of two
// documents is a diff by room:
//
//   {"format":"roombuilder-world","version":1,"files":[
//   {"name":"town.c","kind":"rooms","lineEnds":"LF","content":[
//   {"text":"/* a prologue */\n"},
//   {"room":{"number":1,"region":"town","shortName":"Gate","description":["..."],
//            "exits":{"north":2},"command":["pull","lever"],"response":["..."],
//            "event":{"frequency":0.250000,"text":"A bell."}}}
//   ]},
//   {"name":"town.dat","kind":"data","lineEnds":"LF","content":[
//   {"row":{"function":"townl_1","region":3,"dark":false,"terrain":1}}
//   ]}
//   ]}
//
// A record the room writer wrote is a room, every field by name; a row it
// wrote a row; everything else (a prologue, a hand-edited record, a data
// file's comments) is text, byte for byte. Texts keep bytes that are not
// UTF-8 by an escape (json_text.h).
#pragma once

#include "files/output_stream.h"
#include "world/world.h"

namespace rb {

// Writes the document of `world` (read with places and rows). Throws
// WorldFileError when a file cannot be read again.
void exportWorld(const World& world, OutputStream& out);

}  // namespace rb
