// A temporary folder for one test, removed with everything in it at the end.
// Its name carries a blank, '%', '#' and a non-ASCII letter, so that every
// path a test builds in it does too.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace zarntest {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zarn local %41 #\xC3\xBC-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern;
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

 private:
  std::string path_;
};

// Writes a file (making its folders); a path ending in '/' makes a folder.
inline void Put(const std::string& path, const std::string& bytes = "") {
  if (!path.empty() && path.back() == '/') {
    std::filesystem::create_directories(path);
    return;
  }
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::optional<std::string> Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Every entry below a folder, relative to it, in name order; folders end in '/'.
inline std::vector<std::string> Tree(const std::string& folder) {
  std::vector<std::string> entries;
  std::error_code error;
  for (std::filesystem::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::string relative = std::filesystem::relative(it->path(), folder).string();
    if (it->is_directory()) relative += '/';
    entries.push_back(relative);
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

}  // namespace zarntest
