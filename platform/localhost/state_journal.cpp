#include "localhost/state_journal.h"

#include "host/cfx_result.h"
#include "host/status.h"
#include "localhost/file_system.h"
#include "localhost/state_codec.h"
#include "localhost/state_lock.h"
#include "localhost/text_file.h"

namespace zarnlocal {
namespace {

// Below this size a file is never compacted: rewriting it would cost more
// than the lines it saves.
constexpr std::uint64_t kCompactionFloor = 4096;

constexpr std::string_view kRemoval = "-\t";

// How much of the start and of the end of what was read a reader compares
// when it opens the file again: a file put in its place under the same
// identity (a reused inode) shows there.
constexpr std::size_t kHeadCheck = 4096;
constexpr std::size_t kTailCheck = 64;

// Whether `file` holds `expected` at `offset`.
bool Holds(OpenFile& file, std::uint64_t offset, const std::string& expected) {
  std::string found(expected.size(), '\0');
  std::size_t have = 0;
  SystemError ignored;
  while (have < found.size()) {
    const std::ptrdiff_t n = file.ReadAt(found.data() + have, found.size() - have, offset + have, ignored);
    if (n <= 0) return false;
    have += static_cast<std::size_t>(n);
  }
  return found == expected;
}

}  // namespace

StateJournal::StateJournal(std::string file, std::string header, std::vector<std::string> fields, Order order,
                           std::string scratch, std::string lockFile)
    : file_(std::move(file)),
      header_(std::move(header)),
      fields_(std::move(fields)),
      order_(order),
      scratch_(std::move(scratch)),
      lockFile_(std::move(lockFile)) {}

StateJournal::~StateJournal() { Forget(); }

bool StateJournal::Add(const Record& record) { return Change(record, true); }
bool StateJournal::Remove(const Record& record) { return Change(record, false); }

bool StateJournal::Contains(const Record& record) const {
  std::lock_guard guard(mutex_);
  Refresh();
  return records_.contains(record);
}

std::vector<StateJournal::Record> StateJournal::Sorted() const {
  std::lock_guard guard(mutex_);
  Refresh();
  std::vector<Record> records;
  records.reserve(records_.size());
  for (const auto& [record, entry] : records_) records.push_back(record);
  return records;
}

std::vector<StateJournal::Record> StateJournal::AsAdded() const {
  if (order_ == Order::kSorted) return Sorted();
  std::lock_guard guard(mutex_);
  Refresh();
  std::vector<Record> records;
  records.reserve(added_.size());
  for (const auto& [sequence, record] : added_) records.push_back(*record);
  return records;
}

std::vector<StateJournal::Record> StateJournal::WithFirst(const std::string& first) const {
  std::lock_guard guard(mutex_);
  Refresh();
  std::vector<Record> records;
  for (auto it = records_.lower_bound(Record{first}); it != records_.end() && it->first.front() == first; ++it) {
    records.push_back(it->first);
  }
  return records;
}

bool StateJournal::Change(const Record& record, bool add) {
  std::lock_guard guard(mutex_);
  const StateLock held = StateLock::Take(lockFile_);
  Refresh();
  if (records_.contains(record) == add) return false;
  if (!present_) {
    Rewrite(&record, add);  // a new file starts with its header
    return true;
  }
  Append(std::string(add ? "" : kRemoval) + FormatRecord(record) + "\n", record, add);
  Refresh();
  if (folded_ > kCompactionFloor && folded_ > 2 * (header_.size() + liveBytes_)) {
    // The change is made; a compaction that fails leaves the file as it was
    // and is tried again by the next change.
    try {
      Rewrite(nullptr, false);
    } catch (const CfxResult&) {
    }
  }
  return true;
}

void StateJournal::Append(const std::string& line, const Record& record, bool add) {
  SystemError error;
  OpenFile out = OpenFile::Open(file_, OpenMode::kAppend, error);
  if (!out.IsOpen()) {
    // A file this process may not write is replaced, as it was before it
    // grew by appending; its mode goes with it.
    if (error.Denied()) return Rewrite(&record, add);
    FailWith(error, "cannot write " + file_);
  }
  FileStatus status;
  if (!out.Status(status, error) || !status.SameFile(identity_)) {
    Forget();
    throw CfxResult(E_FAIL, "cannot write " + file_ + ": it was replaced while the state lock was held");
  }
  // Bytes past the last whole line are what a writer killed mid-write left.
  const bool written =
      (status.size == folded_ || out.Truncate(folded_, error)) && out.WriteAll(line.data(), line.size(), error);
  if (!written) {
    SystemError ignored;
    static_cast<void>(out.Truncate(folded_, ignored));
    FailWith(error, "cannot write " + file_);
  }
}

void StateJournal::Rewrite(const Record* changed, bool add) {
  std::string text = header_;
  const auto put = [&](const Record& record) {
    if (add || !changed || record != *changed) text += FormatRecord(record) + "\n";
  };
  if (order_ == Order::kSorted) {
    for (const auto& [record, entry] : records_) put(record);
  } else {
    for (const auto& [sequence, record] : added_) put(*record);
  }
  if (changed && add) text += FormatRecord(*changed) + "\n";
  WriteFileAtomically(file_, text, scratch_);
  Forget();
  Refresh();
}

void StateJournal::Refresh() const {
  // The file is open only while it is read: on Windows an open file would
  // keep another process from replacing it.
  SystemError error;
  OpenFile file = OpenFile::Open(file_, OpenMode::kRead, error);
  if (!file.IsOpen()) {
    Forget();
    if (error.NotFound()) return;
    FailWith(error, "cannot read " + file_);
  }
  FileStatus status;
  if (!file.Status(status, error)) {
    Forget();
    FailWith(error, "cannot read " + file_);
  }
  // Another process replaced the file, or a person cut it short: read it all again.
  if (present_ && (!status.SameFile(identity_) || status.size < folded_ || !Holds(file, 0, head_) ||
                   !Holds(file, folded_ - tail_.size(), tail_))) {
    Forget();
  }
  present_ = true;
  identity_ = status;
  std::string appended;
  char buffer[65536];
  for (std::ptrdiff_t n; (n = file.ReadAt(buffer, sizeof buffer, folded_ + appended.size(), error)) != 0;) {
    if (n < 0) {
      Forget();
      FailWith(error, "cannot read " + file_);
    }
    appended.append(buffer, static_cast<std::size_t>(n));
  }
  std::size_t start = 0;
  try {
    for (std::size_t end = 0; (end = appended.find('\n', start)) != std::string::npos; start = end + 1) {
      ++lines_;
      Fold(std::string_view(appended).substr(start, end - start));
      folded_ += end + 1 - start;
    }
  } catch (...) {
    Forget();  // read again from the top, so the next read names the same line
    throw;
  }
  const std::string_view read = std::string_view(appended).substr(0, start);
  head_ += read.substr(0, kHeadCheck - std::min(kHeadCheck, head_.size()));
  tail_ += read;
  if (tail_.size() > kTailCheck) tail_.erase(0, tail_.size() - kTailCheck);
}

void StateJournal::Fold(std::string_view line) const {
  const std::size_t bytes = line.size() + 1;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (HoldsNoRecord(line)) return;
  const bool removal = line.starts_with(kRemoval);
  if (removal) line.remove_prefix(kRemoval.size());
  Record record;
  try {
    record = ParseRecord(line);
  } catch (const StateFormatError& error) {
    FailAtLine(file_, lines_, error.what);
  }
  if (record.size() != fields_.size()) FailAtLine(file_, lines_, ExpectedFields(fields_, record.size()));
  if (removal) {
    const auto found = records_.find(record);
    if (found == records_.end()) return;
    liveBytes_ -= found->second.bytes;
    added_.erase(found->second.sequence);
    records_.erase(found);
    return;
  }
  // Lines mostly come in order (a rewrite sorts them, and commands change
  // entries in listing order), so the end is tried first.
  const std::size_t before = records_.size();
  const auto made = records_.try_emplace(records_.end(), std::move(record), Entry{sequence_, bytes});
  if (records_.size() == before) return;
  // Only a journal that keeps the order records were added in needs it.
  if (order_ == Order::kAsAdded) added_.emplace_hint(added_.end(), sequence_, &made->first);
  ++sequence_;
  liveBytes_ += bytes;
}

void StateJournal::Forget() const {
  present_ = false;
  head_.clear();
  tail_.clear();
  folded_ = 0;
  lines_ = 0;
  records_.clear();
  added_.clear();
  liveBytes_ = 0;
}

}  // namespace zarnlocal
