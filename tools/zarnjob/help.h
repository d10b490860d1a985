// The tool's help and the help of each command.
#pragma once

#include <cstdio>
#include <string_view>

namespace zarnjob {

// The tool's help for an empty topic; the help of the command of that name;
// or that of the commands whose first word it is ("live" gives both).
void PrintHelp(std::FILE* out, std::string_view topic);

}  // namespace zarnjob
