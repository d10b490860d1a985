#include "reliability/sweep.h"

#include <cstdio>
#include <new>
#include <stdexcept>
#include <utility>

#include "fake_host/journal_format.h"
#include "host/job_interfaces.h"
#include "host/project_interfaces.h"

namespace reliability {
namespace {

// What the library does with the status of a host call, known from the
// call's journal line.
enum class Point {
  kChecked,        // the status check: a failure raises the last-error result
  kCheckedQuery,   // a checked query: a failure raises the query failure
  kViewHostQuery,  // ImportAndView's unchecked query: the import ends with no document
  kLockableQuery,  // the lock helpers' unchecked query: the document is left alone
  kIgnored,        // Lock, Unlock, Show and the closing of a stream: the status is dropped
  kCreate,         // CfxCreateImpl: its outcome is not looked at; the null check raises
  kDownload,       // the download: E_UNEXPECTED is raised in place of its status
  kThrows,         // file streams and path utilities: they throw, the library lets it pass
};

bool Contains(const std::string& line, const char* part) { return line.find(part) != std::string::npos; }
bool StartsWith(const std::string& line, const char* head) { return line.rfind(head, 0) == 0; }

Point Classify(const std::string& line) {
  if (StartsWith(line, "CfxCreateImpl(")) return Point::kCreate;
  if (Contains(line, ".QueryInterface(ISBViewHost)")) return Point::kViewHostQuery;
  if (Contains(line, ".QueryInterface(ISBLockable)")) return Point::kLockableQuery;
  if (Contains(line, ".QueryInterface(")) return Point::kCheckedQuery;
  if (line == "stream.Close()") return Point::kIgnored;
  if (StartsWith(line, "stream.") || StartsWith(line, "Paths::")) return Point::kThrows;
  if (Contains(line, ".ISBLockable.Lock(") || Contains(line, ".ISBLockable.Unlock(") ||
      Contains(line, ".ISBDocumentRoot.Show(")) {
    return Point::kIgnored;
  }
  if (Contains(line, ".ISBJobTransfer.Download(")) return Point::kDownload;
  return Point::kChecked;
}

// The identifier of the interface a query line asks for.
std::optional<nsID> QueriedInterface(const std::string& line) {
  static const nsID kKnown[] = {
      InterfaceIdOf<ISBUrlServices>, InterfaceIdOf<ISBFileUrl>,         InterfaceIdOf<ISBFileTypeProvider>,
      InterfaceIdOf<ISBLockable>,    InterfaceIdOf<ISBDocumentStorage>, InterfaceIdOf<ISBViewHost>,
      InterfaceIdOf<ISBJobHost>,     InterfaceIdOf<ISBJobTransfer>,     InterfaceIdOf<ISBZarnServerJob>,
  };
  for (const nsID& iid : kKnown) {
    if (Contains(line, (".QueryInterface(" + fakehost::InterfaceName(iid) + ")").c_str())) return iid;
  }
  return std::nullopt;
}

std::string Hex(HRESULT code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(code));
  return text;
}

Ending Raised(const CfxResult& result) {
  return {Ending::Kind::kRaised, result.Code(), result.Description(), result.LastDescriptionAction(), {}};
}

CfxResult NullDereference() {
  try {
    CheckNullDereference(nullptr);
  } catch (const CfxResult& result) {
    return result;
  }
  throw std::logic_error("CheckNullDereference(nullptr) did not raise");
}

Lines Head(const Lines& lines, std::size_t count) {
  return Lines(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(std::min(count, lines.size())));
}

// The lines before `from`, then the later ones without the final releases:
// after a failure the unwinding may let go of objects in its own order.
Lines WithoutLaterReleases(const Lines& lines, std::size_t from) {
  Lines kept = Head(lines, from);
  for (std::size_t i = from; i < lines.size(); ++i) {
    if (!IsRelease(lines[i])) kept.push_back(lines[i]);
  }
  return kept;
}

std::string Show(const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) text += "\n    " + line;
  return text;
}

// The common part of every check: the ending, the last error, the journal
// and the balance of references and strings.
Verdict Compare(const RunRecord& run, const std::optional<Ending>& ending, Ending::Kind kind, HRESULT lastError,
                const Lines& journal, std::size_t from) {
  std::string wrong;
  if (ending ? !(run.ending == *ending) : run.ending.kind != kind) {
    wrong += "\n  ended: " + run.ending.Text() + "\n  expected: " + (ending ? ending->Text() : "to return");
  }
  if (run.lastError != lastError) {
    wrong += "\n  last error " + Hex(run.lastError) + ", expected " + Hex(lastError);
  }
  if (WithoutLaterReleases(run.journal, from) != WithoutLaterReleases(journal, from)) {
    wrong += "\n  journal:" + Show(run.journal) + "\n  expected:" + Show(journal);
  }
  if (!run.balanced) wrong += "\n  " + run.balance;
  if (wrong.empty()) return testing::AssertionSuccess();
  return testing::AssertionFailure() << wrong;
}

}  // namespace

std::string Ending::Text() const {
  switch (kind) {
    case Kind::kReturned: return result.empty() ? "returned" : "returned " + result;
    case Kind::kRaised: return "raised " + Hex(code) + " " + description + (action ? " (action 1)" : "");
    case Kind::kBadAlloc: return "std::bad_alloc";
    case Kind::kOther: return "an unknown exception";
  }
  return "?";
}

bool IsRelease(const std::string& line) {
  // `<object>.Release()`: object names have no dots, so no operation looks like it.
  const std::string suffix = ".Release()";
  return line.size() > suffix.size() && line.find('.') == line.size() - suffix.size() &&
         line.compare(line.size() - suffix.size(), suffix.size(), suffix) == 0;
}

void Probe::Run(fakehost::Host& host, const std::function<std::string()>& call) {
  RunRecord record;
  host.ClearJournal();
  const int failedBefore = host.failedHostAllocations;
  CfxResult::SetLastError(kNothingStored);
  const std::uint64_t before = CfxStringAllocationCount();
  if (injection_.call > 0) host.FailCall(injection_.call, injection_.status);
  if (injection_.allocation > 0) host.FailAllocation(injection_.allocation);
  try {
    record.ending.result = call();
  } catch (const CfxResult& result) {
    record.ending = Raised(result);
  } catch (const std::bad_alloc&) {
    record.ending.kind = Ending::Kind::kBadAlloc;
  } catch (...) {
    record.ending.kind = Ending::Kind::kOther;
  }
  host.FailAllocation(0);
  record.lastError = CfxResult::LastErrorCheckNotS_OK().Code();
  record.journal = host.Journal();
  for (const std::uint64_t count : host.AllocationsAtCalls()) record.allocationsBefore.push_back(count - before);
  record.allocations = CfxStringAllocationCount() - before;
  record.failedHostAllocations = host.failedHostAllocations - failedBefore;
  const testing::AssertionResult balanced = host.Balanced();
  record.balanced = static_cast<bool>(balanced);
  record.balance = balanced.message();
  record_ = std::move(record);
}

RunRecord Play(const Scenario& scenario, Injection injection) {
  Probe probe(injection);
  scenario.play(probe);
  if (!probe.Record()) throw std::logic_error("scenario " + scenario.name + " did not run its export");
  return *probe.Record();
}

Verdict CheckCallFault(const RunRecord& clean, int k, HRESULT status, const RunRecord& run) {
  const std::size_t at = static_cast<std::size_t>(k - 1);
  const std::string& line = clean.journal.at(at);
  const Point point = Classify(line);

  // An informational status is stored where the library checks the status,
  // and changes nothing else.
  if (SUCCEEDED(status)) {
    const bool stored = point == Point::kChecked || point == Point::kDownload;
    return Compare(run, clean.ending, {}, stored ? status : kNothingStored, clean.journal, clean.journal.size());
  }

  Lines journal = Head(clean.journal, at + 1);
  switch (point) {
    case Point::kChecked:
      return Compare(run, Raised(CfxResult::StandardDescription(status)), {}, status, journal, at + 1);
    case Point::kCheckedQuery: {
      const std::optional<nsID> iid = QueriedInterface(line);
      if (!iid) return testing::AssertionFailure() << "the sweep does not know the interface of " << line;
      return Compare(run, Raised(QueryInterfaceFailure(status, *iid)), {}, status, journal, at + 1);
    }
    case Point::kViewHostQuery: {
      // No document: the rest of this import is skipped, and so is the
      // unlock a refresh makes after it; a refresh goes on with its next entry.
      std::size_t next = at + 1;
      while (next < clean.journal.size() && !Contains(clean.journal[next], ".ISBUrlList.GetItem(")) ++next;
      journal.insert(journal.end(), clean.journal.begin() + static_cast<std::ptrdiff_t>(next), clean.journal.end());
      return Compare(run, {}, Ending::Kind::kReturned, kNothingStored, journal, at + 1);
    }
    case Point::kLockableQuery: {
      // A document that cannot be locked is left alone: only its Lock or
      // Unlock goes (none follows for a document that never could be).
      const bool lockFollows = at + 1 < clean.journal.size() && Contains(clean.journal[at + 1], ".ISBLockable.");
      journal.insert(journal.end(), clean.journal.begin() + static_cast<std::ptrdiff_t>(at + (lockFollows ? 2 : 1)),
                     clean.journal.end());
      return Compare(run, clean.ending, {}, kNothingStored, journal, at + 1);
    }
    case Point::kIgnored: return Compare(run, clean.ending, {}, kNothingStored, clean.journal, clean.journal.size());
    case Point::kCreate:
      // Nothing was made; the container is still asked for its job host
      // before the null check of the job raises.
      if (at + 1 < clean.journal.size() && Contains(clean.journal[at + 1], ".QueryInterface(ISBJobHost)")) {
        journal.push_back(clean.journal[at + 1]);
      }
      return Compare(run, Raised(NullDereference()), {}, kNothingStored, journal, at + 1);
    case Point::kDownload:
      return Compare(run, Raised(CfxResult(E_UNEXPECTED, "Failed to download file from server.\n", 1)), {}, status,
                     journal, at + 1);
    case Point::kThrows:
      // A template reader that was made closes its stream as it goes.
      if (StartsWith(line, "stream.")) journal.push_back("stream.Close()");
      return Compare(run, Raised(CfxResult(status, "injected failure")), {}, kNothingStored, journal, at + 1);
  }
  return testing::AssertionFailure() << "unclassified point " << line;
}

Verdict CheckAllocationFault(const RunRecord& clean, std::uint64_t k, const RunRecord& run) {
  // The calls journaled before the k-th allocation; a host operation that
  // failed to give out a string is one of them.
  std::size_t before = 0;
  while (before < clean.allocationsBefore.size() && clean.allocationsBefore[before] < k) ++before;
  Lines journal = Head(clean.journal, before);

  if (run.failedHostAllocations > 0) {
    // The host's own allocation: its operation returned E_OUTOFMEMORY, which
    // the status check raises as the last error.
    if (run.failedHostAllocations != 1) return testing::AssertionFailure() << "more than one failed host allocation";
    return Compare(run, Raised(CfxResult::StandardDescription(E_OUTOFMEMORY)), {}, E_OUTOFMEMORY, journal, before);
  }
  // The library's own string: the standard out-of-memory exception, unchanged.
  for (const std::string& line : journal) {
    if (StartsWith(line, "stream.")) {
      journal.push_back("stream.Close()");
      break;
    }
  }
  return Compare(run, Ending{Ending::Kind::kBadAlloc, S_OK, {}, 0, {}}, {}, kNothingStored, journal, before);
}

std::vector<Scenario> AllScenarios() {
  std::vector<Scenario> all;
  for (auto part : {JobScenarios, ServerScenarios, DocumentScenarios, HidingScenarios}) {
    for (Scenario& scenario : part()) all.push_back(std::move(scenario));
  }
  return all;
}

}  // namespace reliability
