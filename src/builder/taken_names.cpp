#include "builder/taken_names.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "builder/room_function_name.h"

namespace rb {

bool TakenNames::taken(const std::string& name, const std::string& own) const {
  const auto found = count_.find(name);
  if (found == count_.end()) return false;
  return found->second - (name == own ? 1 : 0) > 0;
}

void TakenNames::rename(const std::string& from, const std::string& to) {
  const auto found = count_.find(from);
  if (found != count_.end() && --found->second == 0) count_.erase(found);
  add(to);
}

void TakenNames::addRecordsOf(const OutputFile& file) {
  const int fd = file.openForReading();
  if (fd < 0) return;
  std::FILE* in = fdopen(fd, "r");
  if (!in) {
    ::close(fd);
    return;
  }
  char* line = nullptr;
  std::size_t capacity = 0;
  for (ssize_t length; (length = getline(&line, &capacity, in)) >= 0;) {
    if (const auto name =
            headerFunctionName(std::string_view(line, static_cast<std::size_t>(length))))
      add(std::string(*name));
  }
  std::free(line);
  std::fclose(in);
}

std::string takenNameRefusal(const std::string& name) {
  return "The room file already has a room named " + name +
         ". Change its region name with key 1, or leave with x.\n";
}

}  // namespace rb
