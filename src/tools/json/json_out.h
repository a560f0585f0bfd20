// RapidJSON's writers writing into an OutputStream, which sends the text
// on in blocks as it grows: a document of any size is never held whole.
#pragma once

#include "files/output_stream.h"

namespace rb {

struct JsonOut {
  using Ch = char;
  OutputStream& out;

  void Put(char c) { out.buffer().push_back(c); }
  void Flush() { out.print(); }
};

}  // namespace rb
