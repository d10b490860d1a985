// What the project view records about entries: hidden marks, locks by owner
// and the documents that were shown or given a view. Kept in plain text in
// the project's state folder, one record a line, paths relative to the
// project:
//
//   .zarn/hidden   Results/a.def
//   .zarn/locks    Results/a.std<TAB>Corvane Server
//   .zarn/views    view<TAB>Results/a.std     (OpenView; "shown" for Show)
//
// Every change takes the project's state lock (.zarn/state.lock,
// state_lock.h), reads the file, changes it and writes it whole
// (atomically), so that processes working at once never lose each other's
// records and readers always see whole files.
#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace zarnlocal {

struct LockRecord {
  std::string path;  // relative to the project
  std::string owner;
  friend bool operator==(const LockRecord&, const LockRecord&) = default;
};

struct ViewRecord {
  std::string kind;  // "view" (OpenView) or "shown" (Show)
  std::string path;  // relative to the project
  friend bool operator==(const ViewRecord&, const ViewRecord&) = default;
};

class ProjectView {
 public:
  explicit ProjectView(std::string stateFolder) : stateFolder_(std::move(stateFolder)) {}

  std::vector<std::string> Hidden() const;  // in name order
  bool IsHidden(const std::string& path) const;
  // True when the mark changed.
  bool SetHidden(const std::string& path, bool hidden);

  std::vector<LockRecord> Locks() const;  // by path, then owner
  std::vector<std::string> LockOwners(const std::string& path) const;
  // True when the lock changed (a second Lock by the same owner does not).
  bool Lock(const std::string& path, const std::string& owner);
  bool Unlock(const std::string& path, const std::string& owner);

  std::vector<ViewRecord> Views() const;  // in the order they were recorded
  void RecordView(const std::string& kind, const std::string& path);
  void ForgetView(const std::string& kind, const std::string& path);

 private:
  std::string File(const char* name) const { return stateFolder_ + "/" + name; }
  std::string Scratch() const { return stateFolder_ + "/partial"; }
  std::string LockFile() const { return stateFolder_ + "/state.lock"; }
  std::string stateFolder_;
  mutable std::mutex mutex_;
};

}  // namespace zarnlocal
