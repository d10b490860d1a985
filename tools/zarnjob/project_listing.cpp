#include "project_listing.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "localhost/state_codec.h"

namespace zarnjob {
namespace {

// A name prints as it is unless it could pass for another or for a name with
// a mark, or break the line. Then it prints quoted as the state files quote
// names (C escapes in double quotes), also when it holds '[', '"' or '\'.
std::string Printable(const std::string& name) { return zarnlocal::QuoteField(name, "[\"\\"); }

}  // namespace

std::vector<std::string> ProjectViewLines(const zarnlocal::Project& project, std::vector<std::string>& problems) {
  std::vector<zarnlocal::Project::Entry> entries = project.Entries(problems);

  // Hashed, so that each entry's marks cost the same in a project of any size.
  const std::vector<std::string> hiddenList = project.HiddenEntries();
  const std::unordered_set<std::string> hidden(hiddenList.begin(), hiddenList.end());
  std::unordered_map<std::string, std::vector<std::string>> owners;
  for (const zarnlocal::LockRecord& lock : project.Locks()) owners[lock.path].push_back(lock.owner);

  // By the path as printed: a folder comes right before what it holds.
  for (zarnlocal::Project::Entry& entry : entries) {
    if (entry.folder) entry.path += '/';
  }
  std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.path < b.path; });

  std::vector<std::string> lines;
  for (const zarnlocal::Project::Entry& entry : entries) {
    const std::string key = entry.folder ? entry.path.substr(0, entry.path.size() - 1) : entry.path;
    std::string line = Printable(entry.path);
    if (hidden.contains(key)) line += " [hidden]";
    if (const auto found = owners.find(key); found != owners.end()) {
      for (const std::string& owner : found->second) line += " [locked by " + Printable(owner) + "]";
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace zarnjob
