// What the linker put into the shared library's tables, read with the
// platform's binary tools: the names it exports, and the names it imports
// from each other library.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace exporttable {

// The raw (mangled) names the library defines for others to bind to.
std::vector<std::string> ExportedNames();

// The names the library takes from each library it imports from, by the
// library's name in upper case ("OLEAUT32.DLL", "LIBCFX.SO").
std::map<std::string, std::set<std::string>> ImportedNames();

// SysFreeString and CoTaskMemFree, each with the library (as ImportedNames
// names it) that must give it: the host's, never a copy inside the library.
std::vector<std::pair<std::string, std::string>> HostMemoryImports();

}  // namespace exporttable
