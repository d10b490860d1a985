// The export and import tables on Windows, from the text that
// `objdump -p` printed for the DLL when it was built, demangled by c++filt.
//
//   [Ordinal/Name Pointer] Table
//   	[   0] ID2MessageString
//   	[   1] AppUtils::Document::HideFiles(ISBUrl*, ISBContainerRoot*)
//   ...
//   	DLL Name: OLEAUT32.dll
//   	vma:  Hint/Ord Member-Name Bound-To
//   	1c1d0	    6  SysFreeString
#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

#include "export_table.h"

namespace exporttable {
namespace {

std::vector<std::string> TableLines(const std::string& table) {
  std::ifstream file(table);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
  return text;
}

std::string LastWord(const std::string& line) {
  std::istringstream words(line);
  std::string word, last;
  while (words >> word) last = word;
  return last;
}

}  // namespace

std::vector<std::string> ExportedNames(const std::string& table) {
  std::vector<std::string> names;
  bool inTable = false;
  for (const std::string& line : TableLines(table)) {
    const auto nameAt = line.find("] ");
    if (line.find("[Ordinal/Name Pointer] Table") != std::string::npos) {
      inTable = true;
    } else if (inTable && line.find('[') < nameAt && nameAt != std::string::npos) {
      names.push_back(line.substr(nameAt + 2));
    } else if (inTable) {
      inTable = false;
    }
  }
  return names;
}

std::map<std::string, std::set<std::string>> ImportedNames(const std::string& table) {
  std::map<std::string, std::set<std::string>> imports;
  std::string library;
  bool inList = false;
  for (const std::string& line : TableLines(table)) {
    const auto dll = line.find("DLL Name: ");
    if (dll != std::string::npos) {
      library = Upper(line.substr(dll + 10));
      inList = false;
    } else if (!library.empty() && line.find("Member-Name") != std::string::npos) {
      inList = true;
    } else if (inList && LastWord(line).empty()) {
      inList = false;
      library.clear();
    } else if (inList) {
      // "<vma> <hint> <name>", or "<vma> <ordinal>" for an import by number.
      std::istringstream fields(line);
      std::vector<std::string> words;
      for (std::string word; fields >> word;) words.push_back(word);
      if (words.size() >= 3) imports[library].insert(words[2]);
    }
  }
  return imports;
}

std::vector<std::pair<std::string, std::string>> HostMemoryImports() {
  return {{"OLEAUT32.DLL", "SysFreeString"}, {"OLE32.DLL", "CoTaskMemFree"}};
}

}  // namespace exporttable
