// What the linker put into a shared library's tables, read with the
// platform's binary tools: the names it exports, demangled by those tools
// ("AppUtils::Document::HideFiles(ISBUrl*, ISBContainerRoot*)"), and the
// names it imports from each other library.
//
// A table is named by what the build gives the test: the shared object
// itself on Linux, the text objdump printed for the DLL on Windows.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace exporttable {

// The demangled names the library defines for others to bind to.
std::vector<std::string> ExportedNames(const std::string& table);

// The names the library takes from each library it imports from, by the
// library's name in upper case ("OLEAUT32.DLL", "LIBCFX.SO").
std::map<std::string, std::set<std::string>> ImportedNames(const std::string& table);

// SysFreeString and CoTaskMemFree, each with the library (as ImportedNames
// names it) that must give it: the host's, never a copy inside the library.
std::vector<std::pair<std::string, std::string>> HostMemoryImports();

}  // namespace exporttable
