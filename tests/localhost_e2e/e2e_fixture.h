// End-to-end tests: the library's exports against the local host, in a
// temporary project, checked by what is on disk afterwards.
//
// Each test gets a fresh project folder, its container, a log of every host
// call made from outside the host (one line each, as the trace prints them),
// and a balance check at the end: no host object, host string or task
// memory block may be left over.
//
//   TEST_F(EndToEnd, SomeExport) {
//     PutFile("Results/a.std", "table");
//     AppUtils::Document::SomeExport(Url("Results/").get(), Root());
//     EXPECT_EQ(ReadFile("Results/a.std"), "table");
//     EXPECT_EQ(Calls().front(), "ISBContainerRoot.GetUrlFactory() -> 0x00000000");
//   }
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "cfx/cfx_host.h"
#include "host/com_ptr.h"
#include "localhost/local_host.h"
#include "localhost/temp_folder.h"

namespace zarne2e {

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    objects_ = zarnlocal::LiveObjectCount();
    strings_ = CfxLiveStringCount();
    taskMem_ = CfxLiveTaskMemCount();
    zarntest::Put(folder_ / ".zarn/filetypes", "abc Acme.Model def ghi\n");
    Open();
  }
  void TearDown() override {
    zarnlocal::SetCallObserver({});
    root_.Reset();
    project_.reset();
    EXPECT_EQ(zarnlocal::LiveObjectCount(), objects_) << "host objects left alive";
    EXPECT_EQ(CfxLiveStringCount(), strings_) << "host strings leaked";
    EXPECT_EQ(CfxLiveTaskMemCount(), taskMem_) << "task memory leaked";
  }

  // Opens the project (again), as the next process would; the call log restarts.
  void Open() {
    root_.Reset();
    project_.reset();
    project_ = zarnlocal::Project::Open(folder_.Path());
    root_ = project_->Container();
    calls_.clear();
    zarnlocal::SetCallObserver(
        [this](const zarnlocal::CallRecord& call) { calls_.push_back(zarnlocal::FormatCall(call)); });
  }

  zarnlocal::Project& Project() { return *project_; }
  ISBContainerRoot* Root() { return root_.get(); }
  CfxComPtr<ISBUrl> Url(const std::string& relative) { return project_->Url(relative); }
  // Host calls from outside the host since the project was opened.
  const std::vector<std::string>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }

  std::string At(const std::string& relative) const { return folder_ / relative; }
  void PutFile(const std::string& relative, const std::string& bytes = "") { zarntest::Put(At(relative), bytes); }
  std::optional<std::string> ReadFile(const std::string& relative) const { return zarntest::Read(At(relative)); }
  // Every entry below a folder of the project, relative to it; folders end in '/'.
  std::vector<std::string> TreeOf(const std::string& relative) const { return zarntest::Tree(At(relative)); }

 private:
  zarntest::TempFolder folder_;
  std::optional<zarnlocal::Project> project_;
  CfxComPtr<ISBContainerRoot> root_;
  std::vector<std::string> calls_;
  std::size_t objects_ = 0;
  std::size_t strings_ = 0;
  std::size_t taskMem_ = 0;
};

}  // namespace zarne2e
