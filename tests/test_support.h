// Helpers shared by the tests: temporary directories, files, and running the
// program in-process or as the real executable.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace rb::test {

// A fresh directory, removed with everything in it when this goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content);
bool fileExists(const std::string& path);
bool endsWith(const std::string& text, const std::string& tail);

struct RunResult {
  std::string out;  // everything printed on standard output
  std::string err;  // everything printed on standard error (executables only)
  int status = -1;  // exit status, or 128 + signal number
};

// The program run in this process with a console fed from `input`.
RunResult runInProcess(const std::string& input);

// The real executable run in `dir` with `input` piped to its standard input
// and `args` as its arguments; `beforeExec` runs in the child first.
RunResult runBinary(const std::string& input, const std::string& dir,
                    const std::vector<std::string>& args = {},
                    const std::function<void()>& beforeExec = {});

// The real executable run in `dir` as user and group `id` (the caller being
// root): a copy of it in a folder of its own that the user can enter, so
// the test never depends on where the build lies. Status kCannotRunAsUser
// when that user can reach neither the copy nor `dir`.
inline constexpr int kCannotRunAsUser = 125;
RunResult runBinaryAsUser(unsigned id, const std::string& input, const std::string& dir,
                          const std::vector<std::string>& args = {});

// Runs a shell command in `dir`, returning its standard output and status.
RunResult runShell(const std::string& command, const std::string& dir);

// The banner and main menu as the program prints them.
extern const char* const kBanner;
extern const char* const kMainMenu;

}  // namespace rb::test
