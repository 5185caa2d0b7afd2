#pragma once
#include <string>
#include <vector>

// kelvane-cd: the CD drives from a terminal. Runs the command line after the
// program name and returns the exit status: 0 done, 1 cancelled (Ctrl+C), 2
// failed. Lists go to stdout; messages and the progress bar to stderr; every
// failure is shown through the user-interface port (LUi).
int RunCdTool(const std::vector<std::string>& args);

// The usage text of --help and of a wrong argument.
const char* CdUsage();
