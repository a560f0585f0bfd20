#include "terminal/fatal_error.h"

#include <cstring>

namespace rb {

FatalError fileFailure(const char* message, const std::string& name, int error) {
  return FatalError(message, "roombuilder: " + name + ": " + std::strerror(error) + "\n");
}

}  // namespace rb
