#include "localhost/project_view.h"

#include <algorithm>
#include <tuple>

#include "localhost/state_lock.h"
#include "localhost/text_file.h"

namespace zarnlocal {
namespace {

constexpr std::string_view kHiddenHeader =
    "# Entries hidden from the project view: one path relative to the project a line.\n";
constexpr std::string_view kLocksHeader =
    "# Document locks: the document's path relative to the project, a tab, the owner.\n";
constexpr std::string_view kViewsHeader =
    "# Documents shown: \"view\" (a view was opened) or \"shown\", a tab, the path relative to the project.\n";

}  // namespace

std::vector<std::string> ProjectView::Hidden() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> hidden;
  for (auto& record : ReadRecords(File("hidden"))) hidden.push_back(std::move(record.front()));
  std::sort(hidden.begin(), hidden.end());
  return hidden;
}

bool ProjectView::IsHidden(const std::string& path) const {
  const std::vector<std::string> hidden = Hidden();
  return std::binary_search(hidden.begin(), hidden.end(), path);
}

bool ProjectView::SetHidden(const std::string& path, bool hidden) {
  std::lock_guard lock(mutex_);
  const StateLock held = StateLock::Take(LockFile());
  auto records = ReadRecords(File("hidden"));
  const auto found = std::find_if(records.begin(), records.end(), [&](const auto& r) { return r.front() == path; });
  if ((found != records.end()) == hidden) return false;
  if (hidden) {
    records.push_back({path});
  } else {
    records.erase(found);
  }
  std::sort(records.begin(), records.end());
  WriteRecords(File("hidden"), kHiddenHeader, records, Scratch());
  return true;
}

std::vector<LockRecord> ProjectView::Locks() const {
  std::lock_guard lock(mutex_);
  std::vector<LockRecord> locks;
  for (auto& record : ReadRecords(File("locks"))) {
    if (record.size() >= 2) locks.push_back({record[0], record[1]});
  }
  std::sort(locks.begin(), locks.end(), [](const LockRecord& a, const LockRecord& b) {
    return std::tie(a.path, a.owner) < std::tie(b.path, b.owner);
  });
  return locks;
}

std::vector<std::string> ProjectView::LockOwners(const std::string& path) const {
  std::vector<std::string> owners;
  for (const LockRecord& lock : Locks()) {
    if (lock.path == path) owners.push_back(lock.owner);
  }
  return owners;
}

bool ProjectView::Lock(const std::string& path, const std::string& owner) {
  std::lock_guard lock(mutex_);
  const StateLock held = StateLock::Take(LockFile());
  auto records = ReadRecords(File("locks"));
  for (const auto& record : records) {
    if (record.size() >= 2 && record[0] == path && record[1] == owner) return false;
  }
  records.push_back({path, owner});
  std::sort(records.begin(), records.end());
  WriteRecords(File("locks"), kLocksHeader, records, Scratch());
  return true;
}

bool ProjectView::Unlock(const std::string& path, const std::string& owner) {
  std::lock_guard lock(mutex_);
  const StateLock held = StateLock::Take(LockFile());
  auto records = ReadRecords(File("locks"));
  const auto kept = std::remove_if(records.begin(), records.end(), [&](const auto& record) {
    return record.size() >= 2 && record[0] == path && record[1] == owner;
  });
  if (kept == records.end()) return false;
  records.erase(kept, records.end());
  WriteRecords(File("locks"), kLocksHeader, records, Scratch());
  return true;
}

std::vector<ViewRecord> ProjectView::Views() const {
  std::lock_guard lock(mutex_);
  std::vector<ViewRecord> views;
  for (auto& record : ReadRecords(File("views"))) {
    if (record.size() >= 2) views.push_back({record[0], record[1]});
  }
  return views;
}

void ProjectView::RecordView(const std::string& kind, const std::string& path) {
  std::lock_guard lock(mutex_);
  const StateLock held = StateLock::Take(LockFile());
  auto records = ReadRecords(File("views"));
  for (const auto& record : records) {
    if (record.size() >= 2 && record[0] == kind && record[1] == path) return;
  }
  records.push_back({kind, path});
  WriteRecords(File("views"), kViewsHeader, records, Scratch());
}

void ProjectView::ForgetView(const std::string& kind, const std::string& path) {
  std::lock_guard lock(mutex_);
  const StateLock held = StateLock::Take(LockFile());
  auto records = ReadRecords(File("views"));
  const auto kept = std::remove_if(records.begin(), records.end(), [&](const auto& record) {
    return record.size() >= 2 && record[0] == kind && record[1] == path;
  });
  if (kept == records.end()) return;
  records.erase(kept, records.end());
  WriteRecords(File("views"), kViewsHeader, records, Scratch());
}

}  // namespace zarnlocal
