// StateJournal: a state file that holds a set of records and changes at the
// cost of one record, however many it holds.
//
// The file is a header comment, then a line per change (state_codec.h): a
// record added, or "-", a tab and a record removed. Reading it from the top
// gives the state; a removal undoes the record above it:
//
//   # Document locks: ...
//   Results/a.std<TAB>Corvane Server
//   Results/b.std<TAB>Corvane Server
//   -<TAB>Results/a.std<TAB>Corvane Server      (only b.std is locked now)
//
// A change takes the state lock (state_lock.h) and appends its line with
// one write. A line without its line end is what a writer killed mid-write
// left: readers ignore it, and the next change cuts it off before
// appending, so no earlier record is ever lost. Once the lines exceed twice
// what the records take, the change rewrites the file with the records
// alone (atomically, keeping its mode), which keeps each change's cost
// constant on average.
//
// What was read stays cached: a later read or change reads only what was
// appended since, and the whole file again only when the file was replaced
// (compacted by another process) or cut short. The file is open only while
// it is read, so that it never holds up another process's replacement.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "localhost/file_system.h"

namespace zarnlocal {

class StateJournal {
 public:
  using Record = std::vector<std::string>;
  enum class Order { kSorted, kAsAdded };  // the order a rewrite keeps

  // `fields` names the fields of a record (for messages); `header` starts a
  // new or rewritten file; temporaries go to `scratch`; changes hold the
  // state lock of `lockFile`.
  StateJournal(std::string file, std::string header, std::vector<std::string> fields, Order order, std::string scratch,
               std::string lockFile);
  StateJournal(const StateJournal&) = delete;
  StateJournal& operator=(const StateJournal&) = delete;
  ~StateJournal();

  // True when the record was not there (Add) or was (Remove). Throws
  // CfxResult; a failed change changes nothing.
  bool Add(const Record& record);
  bool Remove(const Record& record);

  // Throw CfxResult E_INVALIDARG naming the file and line of a line that
  // no writer makes.
  bool Contains(const Record& record) const;
  std::vector<Record> Sorted() const;
  std::vector<Record> AsAdded() const;  // a sorted journal gives Sorted()
  // The records whose first field is `first`, sorted.
  std::vector<Record> WithFirst(const std::string& first) const;

 private:
  struct Entry {
    std::uint64_t sequence = 0;
    std::size_t bytes = 0;  // of its line
  };

  bool Change(const Record& record, bool add);
  void Refresh() const;
  void Forget() const;
  void Fold(std::string_view line) const;
  // Appends the line of a change of `record`; falls back to a rewrite.
  void Append(const std::string& line, const Record& record, bool add);
  // Writes the records (with `changed` added or removed) whole, atomically.
  void Rewrite(const Record* changed, bool add);

  std::string file_;
  std::string header_;
  std::vector<std::string> fields_;
  Order order_;
  std::string scratch_;
  std::string lockFile_;

  mutable std::mutex mutex_;
  // The file as last read: its identity, and the first and last bytes of
  // what was read, which tell it from another file given the same identity.
  mutable bool present_ = false;
  mutable FileStatus identity_;
  mutable std::string head_;
  mutable std::string tail_;
  mutable std::uint64_t folded_ = 0;  // bytes of whole lines read
  mutable std::size_t lines_ = 0;
  mutable std::map<Record, Entry> records_;
  mutable std::map<std::uint64_t, const Record*> added_;  // kAsAdded only
  mutable std::uint64_t sequence_ = 0;
  mutable std::size_t liveBytes_ = 0;  // what the records' lines take
};

}  // namespace zarnlocal
