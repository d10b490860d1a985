// fakehost::Host: the recording fake host that library tests run against.
//
// One Host per test. While it lives it is the host: it makes the server job
// class, backs the file streams and the path utilities, journals every host
// call the library makes (one line each, in order), injects faults, and
// checks at the end that every reference, host string and task memory block
// the library took was given back.
//
//   fakehost::Host host;
//   fakehost::Object& url = host.Make("url");
//   url.Add<fakehost::FakeUrl>().name = OLESTR("model.abc");
//   ... call the library with url.As<ISBUrl>() ...
//   EXPECT_EQ(host.Journal(), (std::vector<std::string>{"url.ISBUrl.GetName()"}));
//   EXPECT_TRUE(host.Balanced());
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cfx/cfx_host.h"
#include "fake_host/fake_files.h"
#include "fake_host/fake_paths.h"
#include "fake_host/job_facets.h"
#include "fake_host/object.h"
#include "fake_host/project_facets.h"

namespace fakehost {

class Host {
 public:
  Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;
  ~Host();

  // A new object with one reference, the test's own. Names are unique.
  Object& Make(std::string name);

  const std::vector<std::string>& Journal() const { return journal_; }
  void ClearJournal() {
    journal_.clear();
    allocationsAtCalls_.clear();
    outSlots_.clear();
  }
  // For each journal line, what the library handed in as the call's out
  // slots, comma-separated in the operation's order (SlotState: `null`,
  // `empty`, `set` or the number); empty for a call without out slots.
  const std::vector<std::string>& OutSlots() const { return outSlots_; }
  // The out slots of the first journal line that contains `match`.
  std::string OutSlotsOf(std::string_view match) const;
  // For each journal line, the process's host string allocations
  // (CfxStringAllocationCount) when that call was journaled: tells between
  // which host calls each allocation was made.
  const std::vector<std::uint64_t>& AllocationsAtCalls() const { return allocationsAtCalls_; }
  // Host string allocations that failed inside a fake operation filling an
  // out string (the operation then returned E_OUTOFMEMORY), as opposed to
  // the library's own allocations, which throw std::bad_alloc.
  int failedHostAllocations = 0;
  // Host calls since the Host was made; ClearJournal does not reset it.
  int CallCount() const { return calls_; }

  // The n-th host call from now (1 = the next) gets `status`. A negative
  // status makes the call do nothing and null its out slots; a positive one
  // lets it work and return the status. Stream and path calls throw
  // CfxResult(status, "injected failure") for a negative status.
  void FailCall(int n, HRESULT status);
  // The same for calls whose journal line contains `match`: the nth of them
  // from now (1-based), or every one when nth is 0.
  void FailOp(std::string match, int nth, HRESULT status);
  // The n-th host string allocation from now fails (0: none).
  void FailAllocation(std::uint64_t n);

  // Every object's references equal its `held`, and the live host strings
  // and task memory blocks are as many as when the Host was made.
  testing::AssertionResult Balanced() const;

  // A file the host's file streams can open.
  void AddFile(CfxWString path, std::string bytes, std::vector<std::uint32_t> chunks = {}, bool eofBeforeRead = true);

  // Scripted Paths::Extension answers; nullopt: no extension. Paths not
  // here have the text from the last '.' of the file name on.
  std::map<std::string, std::optional<std::string>> extensionOf;
  // What CfxCreateImpl of the server job class makes; null: nothing, with S_OK.
  Object* createdJob = nullptr;

  // ---- For the fakes ----
  // Journals one call and returns its injected status (S_OK: none).
  HRESULT Record(std::string line, std::string outSlots = {});
  // Journals a line that is no host call: not counted, never failed.
  void Note(std::string line);
  // Opt-in: when the library frees this task memory block, the journal
  // gets the line `CoTaskMemFree(<label>)` at that point.
  void JournalTaskMemFree(const void* block, std::string label);
  // Record for calls that cannot return a status: a failure is thrown.
  void RecordOrThrow(std::string line);
  Object* ObjectOf(const IUnknown* pointer) const;
  // Makes ObjectOf find `object` by the pointer of one of its facets, when
  // the object is one that this Host made.
  void IndexFacet(const IUnknown* pointer, Object& object);
  // An object pointer in a journal line: its name, `null`, or `?` for a stranger.
  std::string Describe(const IUnknown* pointer) const;
  const FakeFile* FindFile(const CfxWString& path) const;

 private:
  struct OpFault {
    std::string match;
    int nth;
    HRESULT status;
    int seen = 0;
  };

  HRESULT Create(const CfxCreateRequest& request, void** out);

  std::vector<std::unique_ptr<Object>> objects_;
  // Lookups that every journal line naming an object makes: indexed, so a
  // listing of many entries costs the same per entry as a short one.
  std::unordered_map<std::string, Object*> byName_;
  std::unordered_map<const IUnknown*, Object*> owners_;
  std::vector<std::string> journal_;
  std::vector<std::uint64_t> allocationsAtCalls_;
  std::vector<std::string> outSlots_;
  std::unordered_map<const void*, std::string> taskMemLabels_;
  int calls_ = 0;
  std::map<int, HRESULT> callFaults_;  // absolute call number -> status
  std::vector<OpFault> opFaults_;
  std::map<CfxWString, FakeFile> files_;
  FakePaths paths_{*this};
  std::size_t stringBaseline_ = 0;
  std::size_t taskMemBaseline_ = 0;
};

}  // namespace fakehost
