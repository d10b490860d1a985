// What the project view records about entries: hidden marks, locks by owner
// and the documents that were shown or given a view. Kept in plain text in
// the project's state folder, one record a line, paths relative to the
// project:
//
//   .zarn/hidden   Results/a.def
//   .zarn/locks    Results/a.std<TAB>Corvane Server
//   .zarn/views    view<TAB>Results/a.std     (OpenView; "shown" for Show)
//
// Each file is a journal (state_journal.h): a change appends one line under
// the project's state lock (.zarn/state.lock), so that processes working at
// once never lose each other's records, a change costs the same however
// many records there are, and readers always see whole records.
#pragma once

#include <string>
#include <vector>

#include "localhost/state_journal.h"

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
  explicit ProjectView(const std::string& stateFolder);

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
  StateJournal hidden_;
  StateJournal locks_;
  StateJournal views_;
};

}  // namespace zarnlocal
