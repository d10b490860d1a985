// A fixture with a fresh project in a temporary folder. At the end every
// host object, host string and task memory block the test made must be gone.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "cfx/cfx_host.h"
#include "host/bstr.h"
#include "host/com_ptr.h"
#include "localhost/local_host.h"
#include "localhost/temp_folder.h"

namespace zarntest {

class LocalHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    objects_ = zarnlocal::LiveObjectCount();
    references_ = zarnlocal::OutstandingReferenceCount();
    strings_ = CfxLiveStringCount();
    taskMem_ = CfxLiveTaskMemCount();
  }
  void TearDown() override {
    project_.reset();
    EXPECT_EQ(zarnlocal::LiveObjectCount(), objects_) << "host objects left alive";
    EXPECT_EQ(zarnlocal::OutstandingReferenceCount(), references_) << "references left";
    EXPECT_EQ(CfxLiveStringCount(), strings_) << "host strings leaked";
    EXPECT_EQ(CfxLiveTaskMemCount(), taskMem_) << "task memory leaked";
  }

  // The project, opened on first use (after the test has put its files).
  zarnlocal::Project& TheProject() {
    if (!project_) project_ = zarnlocal::Project::Open(folder_.Path());
    return *project_;
  }
  // Drops the project and opens it afresh, as the next process would.
  void Reopen() {
    project_.reset();
    TheProject();
  }
  std::string At(const std::string& relative) const { return folder_ / relative; }
  void PutFile(const std::string& relative, const std::string& bytes = "") { Put(folder_ / relative, bytes); }

  TempFolder folder_;

 private:
  std::optional<zarnlocal::Project> project_;
  std::size_t objects_ = 0;
  std::size_t references_ = 0;
  std::size_t strings_ = 0;
  std::size_t taskMem_ = 0;
};

// Runs an operation that fills a host string and gives the text.
template <class Call>
std::string TextOf(Call call) {
  CfxBSTR text;
  text.CopyOnWrite();
  const HRESULT status = call(text.out());
  EXPECT_EQ(status, S_OK) << CfxResult::LastErrorCheckNotS_OK().Description();
  return text.ToString();
}

}  // namespace zarntest
