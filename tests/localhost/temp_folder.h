// A temporary folder for one test, removed with everything in it at the end.
// Its name carries a blank, '%', '#' and a non-ASCII letter, so that every
// path a test builds in it does too. Paths are UTF-8 text with '/'
// separators; FsPath and Utf8Path turn them into std::filesystem paths and back.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/utf8_path.h"

namespace zarntest {

class TempFolder {
 public:
  TempFolder() {
    static std::mt19937_64 random(std::random_device{}());
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::string name = "zarn local %41 #\xC3\xBC-";
      for (int n = 0; n < 6; ++n) name += "0123456789abcdefghijklmnopqrstuvwxyz"[random() % 36];
      const std::filesystem::path path = base / FsPath(name);
      if (std::filesystem::create_directory(path)) {
        path_ = Utf8Path(path);
        return;
      }
    }
    throw std::runtime_error("cannot make a temporary folder in " + Utf8Path(base));
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(FsPath(path_), ignored);
  }

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

 private:
  std::string path_;
};

// Writes a file (making its folders); a path ending in '/' makes a folder.
inline void Put(const std::string& path, const std::string& bytes = "") {
  if (!path.empty() && path.back() == '/') {
    std::filesystem::create_directories(FsPath(path));
    return;
  }
  std::filesystem::create_directories(FsPath(path).parent_path());
  std::ofstream(FsPath(path), std::ios::binary) << bytes;
}

inline std::optional<std::string> Read(const std::string& path) {
  std::ifstream in(FsPath(path), std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Every entry below a folder, relative to it, in name order; folders end in '/'.
inline std::vector<std::string> Tree(const std::string& folder) {
  std::vector<std::string> entries;
  std::error_code error;
  const std::filesystem::path base = FsPath(folder);
  for (std::filesystem::recursive_directory_iterator it(base, error), end; !error && it != end; it.increment(error)) {
    std::string relative = Utf8Path(std::filesystem::relative(it->path(), base));
    if (it->is_directory()) relative += '/';
    entries.push_back(relative);
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

}  // namespace zarntest
