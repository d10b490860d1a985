#include "localhost/project_view.h"

namespace zarnlocal {
namespace {

constexpr const char* kHiddenHeader =
    "# Entries hidden from the project view: one path relative to the project a line.\n"
    "# A line \"-<TAB>PATH\" shows the entry again.\n";
constexpr const char* kLocksHeader =
    "# Document locks: the document's path relative to the project, a tab, the owner.\n"
    "# A line \"-<TAB>PATH<TAB>OWNER\" lifts the lock above it.\n";
constexpr const char* kViewsHeader =
    "# Documents shown: \"view\" (a view was opened) or \"shown\", a tab, the path relative to the project.\n"
    "# A line \"-<TAB>KIND<TAB>PATH\" forgets the one above it.\n";

}  // namespace

ProjectView::ProjectView(const std::string& stateFolder)
    : hidden_(stateFolder + "/hidden", kHiddenHeader, {"a path"}, StateJournal::Order::kSorted,
              stateFolder + "/partial", stateFolder + "/state.lock"),
      locks_(stateFolder + "/locks", kLocksHeader, {"a path", "an owner"}, StateJournal::Order::kSorted,
             stateFolder + "/partial", stateFolder + "/state.lock"),
      views_(stateFolder + "/views", kViewsHeader, {"a kind", "a path"}, StateJournal::Order::kAsAdded,
             stateFolder + "/partial", stateFolder + "/state.lock") {}

std::vector<std::string> ProjectView::Hidden() const {
  std::vector<std::string> hidden;
  for (auto& record : hidden_.Sorted()) hidden.push_back(std::move(record.front()));
  return hidden;
}

bool ProjectView::IsHidden(const std::string& path) const { return hidden_.Contains({path}); }

bool ProjectView::SetHidden(const std::string& path, bool hidden) {
  return hidden ? hidden_.Add({path}) : hidden_.Remove({path});
}

std::vector<LockRecord> ProjectView::Locks() const {
  std::vector<LockRecord> locks;
  for (auto& record : locks_.Sorted()) locks.push_back({std::move(record[0]), std::move(record[1])});
  return locks;
}

std::vector<std::string> ProjectView::LockOwners(const std::string& path) const {
  std::vector<std::string> owners;
  for (auto& record : locks_.WithFirst(path)) owners.push_back(std::move(record[1]));
  return owners;
}

bool ProjectView::Lock(const std::string& path, const std::string& owner) { return locks_.Add({path, owner}); }

bool ProjectView::Unlock(const std::string& path, const std::string& owner) { return locks_.Remove({path, owner}); }

std::vector<ViewRecord> ProjectView::Views() const {
  std::vector<ViewRecord> views;
  for (auto& record : views_.AsAdded()) views.push_back({std::move(record[0]), std::move(record[1])});
  return views;
}

void ProjectView::RecordView(const std::string& kind, const std::string& path) { views_.Add({kind, path}); }

void ProjectView::ForgetView(const std::string& kind, const std::string& path) { views_.Remove({kind, path}); }

}  // namespace zarnlocal
