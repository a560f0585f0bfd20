// A failure that ends the whole program with exit status 1, after its
// message has been printed.
#pragma once

#include <stdexcept>

namespace rb {

struct FatalError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace rb
