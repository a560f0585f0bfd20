// The program's command line. With no arguments the interactive room
// builder runs; otherwise the first argument names a command (the table in
// command_line.cpp), or asks for --help or --version.
#pragma once

#include <string>
#include <vector>

namespace rb {

// Runs the command that `args` (without the program name, at least one)
// name, writing to `outFd` and `errFd`; returns the exit status. Wrong
// arguments give one line saying what is wrong and a hint on `errFd` and
// status 2, and so do a file that cannot be read or output that cannot be
// written.
int runCommand(const std::vector<std::string>& args, int outFd, int errFd);

}  // namespace rb
