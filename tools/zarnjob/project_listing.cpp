#include "project_listing.h"

#include <algorithm>

#include "localhost/state_codec.h"

namespace zarnjob {
namespace {

// A name prints as it is unless it could pass for another or for a name with
// a mark, or break the line. Then it prints quoted as the state files quote
// names (C escapes in double quotes), also when it holds '[', '"' or '\'.
std::string Printable(const std::string& name) { return zarnlocal::QuoteField(name, "[\"\\"); }

}  // namespace

std::vector<std::string> ProjectViewLines(const zarnlocal::Project& project, std::vector<std::string>& problems) {
  struct Line {
    std::string path;
    bool folder;
    bool hidden = false;
    std::size_t firstLock = 0;
    std::size_t locks = 0;
  };
  std::vector<Line> view;
  {
    std::vector<zarnlocal::Project::Entry> entries = project.Entries(problems);
    view.reserve(entries.size());
    for (zarnlocal::Project::Entry& entry : entries) view.push_back({std::move(entry.path), entry.folder});
  }

  // The marks come sorted by path: walked beside the entries sorted the same
  // way, each entry's marks are found in one pass, without a lookup that
  // would cost more as the project grows.
  const auto byPath = [](const Line& a, const Line& b) { return a.path < b.path; };
  std::sort(view.begin(), view.end(), byPath);
  const std::vector<std::string> hidden = project.HiddenEntries();
  const std::vector<zarnlocal::LockRecord> locks = project.Locks();
  auto nextHidden = hidden.begin();
  std::size_t nextLock = 0;
  for (Line& line : view) {
    while (nextHidden != hidden.end() && *nextHidden < line.path) ++nextHidden;
    line.hidden = nextHidden != hidden.end() && *nextHidden == line.path;
    while (nextLock < locks.size() && locks[nextLock].path < line.path) ++nextLock;
    line.firstLock = nextLock;
    while (nextLock < locks.size() && locks[nextLock].path == line.path) ++nextLock;
    line.locks = nextLock - line.firstLock;
  }

  // By the path as printed: a folder comes right before what it holds.
  for (Line& line : view) {
    if (line.folder) line.path += '/';
  }
  std::sort(view.begin(), view.end(), byPath);

  std::vector<std::string> lines;
  lines.reserve(view.size());
  for (const Line& entry : view) {
    std::string line = Printable(entry.path);
    if (entry.hidden) line += " [hidden]";
    for (std::size_t i = entry.firstLock; i < entry.firstLock + entry.locks; ++i)
      line += " [locked by " + Printable(locks[i].owner) + "]";
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace zarnjob
