#include "localhost/file_types.h"

#include <cctype>
#include <sstream>

#include "host/cfx_result.h"
#include "host/status.h"
#include "localhost/text_file.h"

namespace zarnlocal {
namespace {

bool SameExtension(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

}  // namespace

FileTypes FileTypes::Load(const std::optional<std::string>& text, const std::string& source) {
  FileTypes types;
  types.Put({"std", std::string(kStudyTableType), {}});
  if (!text) return types;
  int number = 0;
  for (const std::string& rawLine : SplitLines(*text)) {
    ++number;
    const std::string line = rawLine.substr(0, rawLine.find('#'));
    std::istringstream words(line);
    std::vector<std::string> fields;
    for (std::string word; words >> word;) fields.push_back(word);
    if (fields.empty()) continue;
    const std::string where = source + " line " + std::to_string(number) + ": ";
    if (fields.size() < 2)
      throw CfxResult(E_INVALIDARG, where + "the extension " + fields[0] + " needs a document type name");
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (i != 1 && fields[i].front() == '.') {
        throw CfxResult(E_INVALIDARG, where + "write extensions without their dot ('" + fields[i].substr(1) +
                                          "', not '" + fields[i] + "')");
      }
    }
    types.Put({fields[0], fields[1], std::vector<std::string>(fields.begin() + 2, fields.end())});
  }
  return types;
}

const FileType* FileTypes::Find(std::string_view extension) const {
  for (const FileType& type : entries_) {
    if (SameExtension(type.extension, extension)) return &type;
  }
  return nullptr;
}

void FileTypes::Put(FileType type) {
  for (FileType& entry : entries_) {
    if (SameExtension(entry.extension, type.extension)) {
      entry = std::move(type);
      return;
    }
  }
  entries_.push_back(std::move(type));
}

}  // namespace zarnlocal
