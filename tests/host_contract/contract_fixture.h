// The fixture of the contract tests: a host from the binding, helpers that
// call it through its interfaces, and the balance check at the end.
#pragma once

#include <gtest/gtest.h>

#include "cfx/cfx_host.h"
#include "host/bstr.h"
#include "host_contract/contract_host.h"

namespace zarncontract {

class HostContract : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = MakeContractHost();
    strings_ = CfxLiveStringCount();
    taskMem_ = CfxLiveTaskMemCount();
  }
  void TearDown() override {
    if (const auto live = host_->LiveObjects()) {
      EXPECT_EQ(*live, 0u) << "host objects left behind";
    }
    host_.reset();
    EXPECT_EQ(CfxLiveStringCount(), strings_) << "host strings leaked";
    EXPECT_EQ(CfxLiveTaskMemCount(), taskMem_) << "task memory leaked";
  }

  ContractHost& Host() { return *host_; }

  CfxComPtr<ISBUrlFactory> Factory() {
    CfxComPtr<ISBUrlFactory> factory;
    EXPECT_EQ(Host().Container()->GetUrlFactory(factory.put()), S_OK);
    return factory;
  }
  CfxComPtr<ISBDocumentManager> Documents() {
    CfxComPtr<ISBDocumentManager> documents;
    EXPECT_EQ(Host().Container()->GetDocumentManager(documents.put()), S_OK);
    return documents;
  }
  CfxComPtr<ISBUrlList> List(ISBUrl* location) {
    CfxComPtr<ISBUrlList> list;
    EXPECT_EQ(CfxComPtr<ISBUrlServices>::Query(Factory())->ListUrls(location, list.put()), S_OK);
    return list;
  }
  // The file-system paths of a listing, walked as the library walks one:
  // the count once, then every index from 1 up to and including it.
  std::vector<std::string> ListedPaths(ISBUrl* location) {
    CfxComPtr<ISBUrlList> list = List(location);
    std::vector<std::string> paths;
    std::int32_t count = 0;
    EXPECT_EQ(list->GetCount(&count), S_OK);
    for (std::int32_t index = 1; index <= count; ++index) {
      CfxComPtr<ISBUrl> entry;
      EXPECT_EQ(list->GetItem(index, entry.put()), S_OK);
      paths.push_back(FilePath(entry.get()));
    }
    return paths;
  }
  std::vector<std::string> PathsOf(const std::vector<std::string>& relatives) {
    std::vector<std::string> paths;
    for (const std::string& relative : relatives) paths.push_back(Host().PathOf(relative));
    return paths;
  }

 public:
  // The text an operation gave, expecting it to succeed.
  static std::string Text(HRESULT status, CfxBSTR& text) {
    EXPECT_EQ(status, S_OK) << CfxResult::LastErrorCheckNotS_OK().Description();
    return text.ToString();
  }
  static std::string FilePath(ISBUrl* location) {
    CfxBSTR path;
    path.CopyOnWrite();
    return Text(CfxComPtr<ISBFileUrl>::Query(location)->GetFilePath(path.out()), path);
  }
  static bool Exists(ISBUrl* location) {
    VARIANT_BOOL exists = VARIANT_FALSE;
    EXPECT_EQ(CfxComPtr<ISBFileUrl>::Query(location)->Exists(&exists), S_OK);
    return exists != VARIANT_FALSE;
  }
  static CfxComPtr<ISBUrl> Child(ISBUrl* location, const std::string& relative) {
    CfxComPtr<ISBUrl> child;
    EXPECT_EQ(location->CreateChildUrl(CfxBSTR(relative).in(), child.put()), S_OK);
    return child;
  }

 private:
  std::unique_ptr<ContractHost> host_;
  std::size_t strings_ = 0;
  std::size_t taskMem_ = 0;
};

}  // namespace zarncontract
