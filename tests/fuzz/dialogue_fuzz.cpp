// libFuzzer target: the whole program on arbitrary keystrokes, run in this
// process with its console fed from the fuzzer's bytes. Every input ends,
// because the end of input ends the program.
//
// The program opens whatever file names it is given. So that no input can
// reach a file outside the fuzzer's own scratch directory, every '/' of the
// input is replaced: file names then always name entries of the working
// directory, which is that scratch directory and is emptied after each run.
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/program.h"

namespace {

std::string g_scratch;

void emptyWorkingDirectory() {
  DIR* dir = opendir(".");
  if (!dir) return;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") unlink(name.c_str());
  }
  closedir(dir);
}

void removeScratch() {
  emptyWorkingDirectory();
  rmdir(g_scratch.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // In memory where possible: every finished build syncs its files.
  std::string scratch =
      access("/dev/shm", W_OK) == 0 ? "/dev/shm/rbfuzz.XXXXXX" : "/tmp/rbfuzz.XXXXXX";
  if (!mkdtemp(scratch.data()) || chdir(scratch.c_str()) != 0) {
    std::perror("fuzz scratch directory");
    std::abort();
  }
  g_scratch = scratch;
  std::atexit(removeScratch);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  std::replace(input.begin(), input.end(), '/', '_');
  rb::Console con(std::move(input));
  const int status = rb::runProgram(con);
  if (status != 0 && status != 1) std::abort();
  emptyWorkingDirectory();
  return 0;
}
