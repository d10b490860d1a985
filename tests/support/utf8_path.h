// Paths between the tests' UTF-8 text with '/' separators and
// std::filesystem. A path made from a narrow std::string takes the bytes
// in the system's code page on Windows, so every path a test hands to the
// file system is made here, from UTF-8, and read back here, as UTF-8.
#pragma once

#include <filesystem>
#include <string>

namespace zarntest {

// The path of UTF-8 text (with '/' or the platform's separators).
inline std::filesystem::path FsPath(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// The UTF-8 text of a path, with '/' separators.
inline std::string Utf8Path(const std::filesystem::path& path) {
  const std::u8string text = path.generic_u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace zarntest
