// A failure that ends the whole program with exit status 1, after its
// message has been printed.
#pragma once

#include <stdexcept>
#include <string>

namespace rb {

struct FatalError : std::runtime_error {
  explicit FatalError(const std::string& message, std::string reason = {})
      : std::runtime_error(message), detail(std::move(reason)) {}
  std::string detail;  // a line for standard error, or empty
};

// The fatal error of a file operation that failed with `error`: `message`
// on standard output, "roombuilder: NAME: reason" on standard error.
FatalError fileFailure(const char* message, const std::string& name, int error);

}  // namespace rb
