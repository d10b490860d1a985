// The export table on Linux: the dynamic symbols that nm lists. A shared
// object names the libraries it needs but not which symbol comes from which,
// so the imports all come under the one name "*".
#include <cstdio>
#include <memory>
#include <sstream>

#include "export_table.h"

namespace exporttable {
namespace {

// One line of nm's output a symbol: "<address> <type> <name>" for a defined
// symbol, "<type> <name>" for an undefined one. A demangled name may hold
// blanks, so the name is the rest of the line after those fields.
std::vector<std::string> NmNames(const std::string& options, const std::string& table) {
  const std::string command = "nm -D " + options + " '" + table + "'";
  std::unique_ptr<FILE, decltype(&pclose)> pipe(popen(command.c_str(), "r"), &pclose);
  if (!pipe) return {};
  std::vector<std::string> names;
  char line[4096];
  while (std::fgets(line, sizeof line, pipe.get())) {
    std::istringstream fields(line);
    std::string field;
    if (!(fields >> field)) continue;
    if (field.size() > 1 && !(fields >> field)) continue;  // the address, then the type
    std::string name;
    std::getline(fields >> std::ws, name);
    if (name.empty()) continue;
    names.push_back(name.substr(0, name.find('@')));  // drop symbol version tags
  }
  return names;
}

}  // namespace

std::vector<std::string> ExportedNames(const std::string& table) { return NmNames("--defined-only -C", table); }

std::map<std::string, std::set<std::string>> ImportedNames(const std::string& table) {
  std::map<std::string, std::set<std::string>> imports;
  for (const std::string& name : NmNames("--undefined-only", table)) imports["*"].insert(name);
  return imports;
}

// A shared object does not say which library gives a symbol; libcfx does.
std::vector<std::pair<std::string, std::string>> HostMemoryImports() {
  return {{"*", "SysFreeString"}, {"*", "CoTaskMemFree"}};
}

}  // namespace exporttable
