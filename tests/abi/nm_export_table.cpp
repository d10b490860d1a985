// The export table on Linux: the dynamic symbols that nm lists. A shared
// object names the libraries it needs but not which symbol comes from which,
// so the imports all come under the one name "*".
#include <cstdio>
#include <memory>
#include <sstream>

#include "export_table.h"

namespace exporttable {
namespace {

std::vector<std::string> NmNames(const std::string& options) {
  const std::string command = "nm -D " + options + " '" ZARN_LIBRARY_PATH "'";
  std::unique_ptr<FILE, decltype(&pclose)> pipe(popen(command.c_str(), "r"), &pclose);
  if (!pipe) return {};
  std::vector<std::string> names;
  char line[4096];
  while (std::fgets(line, sizeof line, pipe.get())) {
    // "<address> <type> <name>" for defined symbols, "<type> <name>" for undefined ones.
    std::istringstream fields(line);
    std::vector<std::string> words;
    for (std::string word; fields >> word;) words.push_back(word);
    if (words.size() < 2) continue;
    const std::string& name = words.back();
    names.push_back(name.substr(0, name.find('@')));  // drop symbol version tags
  }
  return names;
}

}  // namespace

std::vector<std::string> ExportedNames() { return NmNames("--defined-only"); }

std::map<std::string, std::set<std::string>> ImportedNames() {
  std::map<std::string, std::set<std::string>> imports;
  for (const std::string& name : NmNames("--undefined-only")) imports["*"].insert(name);
  return imports;
}

// A shared object does not say which library gives a symbol; libcfx does.
std::vector<std::pair<std::string, std::string>> HostMemoryImports() {
  return {{"*", "SysFreeString"}, {"*", "CoTaskMemFree"}};
}

}  // namespace exporttable
