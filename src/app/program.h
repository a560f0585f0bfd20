// The whole program behind main(): banner, main menu and the dialogues it
// hands control to, all reading and printing through one console.
#pragma once

#include "terminal/console.h"

namespace rb {

// Runs the program to its end and returns the exit status: 0 after key 0 or
// when input ends at the main menu, 1 after a fatal error or when input ends
// anywhere else.
int runProgram(Console& con);

}  // namespace rb
