#include "localhost/state_journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "host/cfx_result.h"
#include "host/status.h"
#include "localhost/errno_result.h"
#include "localhost/state_codec.h"
#include "localhost/state_lock.h"
#include "localhost/text_file.h"

namespace zarnlocal {
namespace {

// Below this size a file is never compacted: rewriting it would cost more
// than the lines it saves.
constexpr std::uint64_t kCompactionFloor = 4096;

constexpr std::string_view kRemoval = "-\t";

bool SameFile(int fd, const struct stat& named) {
  struct stat opened {};
  return ::fstat(fd, &opened) == 0 && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
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
  if (fd_ < 0) {
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
  const int out = ::open(file_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (out < 0) {
    const int error = errno;
    // A file this process may not write is replaced, as it was before it
    // grew by appending; its mode goes with it.
    if (error == EACCES || error == EPERM) return Rewrite(&record, add);
    FailWith(error, "cannot write " + file_);
  }
  struct stat status {};
  if (::fstat(out, &status) != 0 || !SameFile(fd_, status)) {
    ::close(out);
    Forget();
    throw CfxResult(E_FAIL, "cannot write " + file_ + ": it was replaced while the state lock was held");
  }
  // Bytes past the last whole line are what a writer killed mid-write left.
  bool written =
      static_cast<std::uint64_t>(status.st_size) == folded_ || ::ftruncate(out, static_cast<off_t>(folded_)) == 0;
  ssize_t n = -1;
  while (written && (n = ::write(out, line.data(), line.size())) < 0 && errno == EINTR) {
  }
  written = written && n == static_cast<ssize_t>(line.size());
  const int error = n < 0 ? errno : ENOSPC;
  if (!written) static_cast<void>(::ftruncate(out, static_cast<off_t>(folded_)));
  ::close(out);
  if (!written) FailWith(error, "cannot write " + file_);
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
  struct stat named {};
  if (::stat(file_.c_str(), &named) != 0) {
    const int error = errno;
    Forget();
    if (error == ENOENT) return;
    FailWith(error, "cannot read " + file_);
  }
  // Another process replaced the file, or a person cut it short: read it all again.
  if (fd_ >= 0 && (!SameFile(fd_, named) || static_cast<std::uint64_t>(named.st_size) < folded_)) Forget();
  if (fd_ < 0) {
    fd_ = ::open(file_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
      const int error = errno;
      if (error == ENOENT) return;
      FailWith(error, "cannot read " + file_);
    }
  }
  std::string appended;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::pread(fd_, buffer, sizeof buffer, static_cast<off_t>(folded_ + appended.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int error = errno;
      Forget();
      FailWith(error, "cannot read " + file_);
    }
    if (n == 0) break;
    appended.append(buffer, static_cast<std::size_t>(n));
  }
  try {
    std::size_t start = 0;
    for (std::size_t end = 0; (end = appended.find('\n', start)) != std::string::npos; start = end + 1) {
      ++lines_;
      Fold(std::string_view(appended).substr(start, end - start));
      folded_ += end + 1 - start;
    }
  } catch (...) {
    Forget();  // read again from the top, so the next read names the same line
    throw;
  }
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
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  folded_ = 0;
  lines_ = 0;
  records_.clear();
  added_.clear();
  liveBytes_ = 0;
}

}  // namespace zarnlocal
