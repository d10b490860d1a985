#include "project_listing.h"

#include <algorithm>
#include <map>
#include <set>

namespace zarnjob {
namespace {

// A name prints as it is unless it holds a byte that could pass for a mark
// or break the line: a control character, '[', '"' or '\'. Then it prints in
// double quotes with C escapes, so that no name looks like another, nor
// like a name with a mark.
std::string Printable(const std::string& name) {
  const bool plain = std::none_of(name.begin(), name.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F || c == '[' || c == '"' || c == '\\';
  });
  if (plain) return name;
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string quoted = "\"";
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"': quoted += "\\\""; break;
      case '\\': quoted += "\\\\"; break;
      case '\n': quoted += "\\n"; break;
      case '\t': quoted += "\\t"; break;
      case '\r': quoted += "\\r"; break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          quoted += "\\x";
          quoted += kDigits[byte >> 4];
          quoted += kDigits[byte & 0xF];
        } else {
          quoted += c;
        }
    }
  }
  return quoted + "\"";
}

}  // namespace

std::vector<std::string> ProjectViewLines(const zarnlocal::Project& project, std::vector<std::string>& problems) {
  std::vector<zarnlocal::Project::Entry> entries = project.Entries(problems);

  const std::vector<std::string> hiddenList = project.HiddenEntries();
  const std::set<std::string> hidden(hiddenList.begin(), hiddenList.end());
  std::map<std::string, std::vector<std::string>> owners;
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
