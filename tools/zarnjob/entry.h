// The tool's entry point on each platform (entry_posix.cpp, entry_windows.cpp)
// hands its arguments to Main as UTF-8 text.
#pragma once

#include <string>
#include <vector>

namespace zarnjob {

// Runs one command line (without the program's name); gives the exit status.
int Main(const std::vector<std::string>& words);

}  // namespace zarnjob
