#include "project_listing.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "host/cfx_result.h"

namespace zarnjob {
namespace {

namespace fs = std::filesystem;

struct Entry {
  std::string path;  // relative, '/'-separated
  bool folder = false;
};

void Walk(const fs::path& folder, const std::string& prefix, std::vector<Entry>& out) {
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (prefix.empty() && name == zarnlocal::kStateFolderName) continue;
    std::error_code kindError;
    const bool isFolder = it->is_directory(kindError);
    out.push_back({prefix + name, isFolder});
    if (isFolder && !it->is_symlink(kindError)) Walk(it->path(), prefix + name + "/", out);
  }
  if (error) throw CfxResult(E_FAIL, "cannot list the folder " + folder.string() + ": " + error.message());
}

}  // namespace

std::vector<std::string> ProjectViewLines(const zarnlocal::Project& project) {
  std::vector<Entry> entries;
  Walk(project.Folder(), "", entries);

  const std::vector<std::string> hiddenList = project.HiddenEntries();
  const std::set<std::string> hidden(hiddenList.begin(), hiddenList.end());
  std::map<std::string, std::vector<std::string>> owners;
  for (const zarnlocal::LockRecord& lock : project.Locks()) owners[lock.path].push_back(lock.owner);

  // By the path as printed: a folder comes right before what it holds.
  for (Entry& entry : entries) {
    if (entry.folder) entry.path += '/';
  }
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.path < b.path; });

  std::vector<std::string> lines;
  for (const Entry& entry : entries) {
    const std::string key = entry.folder ? entry.path.substr(0, entry.path.size() - 1) : entry.path;
    std::string line = entry.path;
    if (hidden.contains(key)) line += " [hidden]";
    if (const auto found = owners.find(key); found != owners.end()) {
      for (const std::string& owner : found->second) line += " [locked by " + owner + "]";
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace zarnjob
