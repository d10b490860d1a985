// Symbolic links for tests, where the platform lets a process make them
// (mingw's libstdc++ cannot on Windows; Windows itself asks for a privilege
// or developer mode). Found out by trying once.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "localhost/temp_folder.h"
#include "support/utf8_path.h"

namespace zarntest {

// Why this process cannot make symbolic links, or nothing when it can.
inline std::optional<std::string> LinksUnsupported() {
  static const std::optional<std::string> why = []() -> std::optional<std::string> {
    const TempFolder folder;
    std::error_code error;
    std::filesystem::create_symlink(FsPath(folder / "target"), FsPath(folder / "link"), error);
    if (error) return "this platform does not let the process make symbolic links: " + error.message();
    // Wine's CreateSymbolicLinkW reports success and makes nothing.
    if (!std::filesystem::is_symlink(FsPath(folder / "link"), error)) {
      return "this platform reports a symbolic link made that is not there";
    }
    return std::nullopt;
  }();
  return why;
}

// A link at `link` to `target` (relative to the link's folder, or
// absolute): a folder link when the target is a folder.
inline void MakeLink(const std::string& target, const std::string& link) {
  const std::filesystem::path path = FsPath(link);
  const std::filesystem::path to = FsPath(target);
  if (std::filesystem::is_directory(path.parent_path() / to)) {
    std::filesystem::create_directory_symlink(to, path);
  } else {
    std::filesystem::create_symlink(to, path);
  }
}

// A folder link, also to a folder that does not exist (yet).
inline void MakeFolderLink(const std::string& target, const std::string& link) {
  std::filesystem::create_directory_symlink(FsPath(target), FsPath(link));
}

}  // namespace zarntest
