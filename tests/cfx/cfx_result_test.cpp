#include "host/cfx_result.h"

#include <gtest/gtest.h>

#include <thread>

#include "cfx/cfx_host.h"
#include "host/project_interfaces.h"

namespace {

// The result the calling thread would report, read on a thread of its own.
CfxResult LastErrorOnNewThread() {
  CfxResult seen;
  std::thread([&] { seen = CfxResult::LastErrorCheckNotS_OK(); }).join();
  return seen;
}

TEST(CfxResultTest, HoldsWhatItWasGiven) {
  const CfxResult result(E_FAIL, "download failed", 1);
  EXPECT_EQ(result.Code(), E_FAIL);
  EXPECT_EQ(result.Description(), "download failed");
  EXPECT_EQ(result.LastDescriptionAction(), 1);
  const CfxResult none;
  EXPECT_EQ(none.Code(), S_OK);
  EXPECT_EQ(none.Description(), "");
}

TEST(CfxResultTest, StandardDescriptions) {
  const struct {
    HRESULT code;
    const char* text;
  } cases[] = {
      {E_INVALIDARG, "The parameter is incorrect."},   {E_POINTER, "Invalid pointer."},
      {E_NOINTERFACE, "No such interface supported."}, {static_cast<HRESULT>(0x80071234), "Unknown error 0x80071234"},
      {0x00000007, "Unknown error 0x00000007"},
  };
  for (const auto& c : cases) {
    const CfxResult result = CfxResult::StandardDescription(c.code);
    EXPECT_EQ(result.Code(), c.code);
    EXPECT_EQ(result.Description(), c.text);
    EXPECT_EQ(result.LastDescriptionAction(), 0);
  }
}

TEST(CfxResultTest, LastErrorIsTheLatestStored) {
  CfxResult::SetLastError(E_ACCESSDENIED);
  CfxResult::SetLastError(CfxResult(E_FAIL, "the latest", 1));
  const CfxResult last = CfxResult::LastErrorCheckNotS_OK();
  EXPECT_EQ(last.Code(), E_FAIL);
  EXPECT_EQ(last.Description(), "the latest");
  EXPECT_EQ(last.LastDescriptionAction(), 1);

  CfxResult::SetLastError(E_INVALIDARG);
  EXPECT_EQ(CfxResult::LastErrorCheckNotS_OK().Description(), "The parameter is incorrect.");

  CfxResult::SetLastError(S_FALSE);
  EXPECT_EQ(CfxResult::LastErrorCheckNotS_OK().Code(), S_FALSE) << "any non-S_OK status is an error to report";
}

TEST(CfxResultTest, AStatusCheckKeepsTheDescriptionTheFailingOperationStored) {
  const struct {
    const char* what;
    HRESULT stored;   // the failing operation's own result (S_OK: none stored)
    HRESULT checked;  // the code the caller then passes to SetLastError
    int checks;       // how many times in a row
    const char* expected;
  } cases[] = {
      {"same code, once", E_FILE_NOT_FOUND, E_FILE_NOT_FOUND, 1, "no such file: /p/a.txt"},
      {"another code", E_FILE_NOT_FOUND, E_ACCESSDENIED, 1, "Access is denied."},
      {"same code twice: the second is a later failure", E_FILE_NOT_FOUND, E_FILE_NOT_FOUND, 2,
       "The file cannot be found."},
      {"nothing stored", S_OK, E_FILE_NOT_FOUND, 1, "The file cannot be found."},
  };
  for (const auto& c : cases) {
    CfxResult::SetLastError(S_OK);
    if (c.stored != S_OK) CfxResult::SetLastError(CfxResult(c.stored, "no such file: /p/a.txt", 1));
    for (int i = 0; i < c.checks; ++i) CfxResult::SetLastError(c.checked);
    const CfxResult last = CfxResult::LastErrorCheckNotS_OK();
    EXPECT_EQ(last.Code(), c.checked) << c.what;
    EXPECT_EQ(last.Description(), c.expected) << c.what;
  }
}

TEST(CfxResultTest, AnInterveningStandardStoreEndsTheKeptDescription) {
  CfxResult::SetLastError(CfxResult(E_FAIL, "disk full"));
  CfxResult::SetLastError(S_FALSE);
  CfxResult::SetLastError(E_FAIL);
  EXPECT_EQ(CfxResult::LastErrorCheckNotS_OK().Description(), "Unspecified error.");
}

TEST(CfxResultTest, LastErrorBelongsToItsThread) {
  CfxResult::SetLastError(E_ACCESSDENIED);
  const CfxResult elsewhere = LastErrorOnNewThread();
  EXPECT_EQ(elsewhere.Code(), E_UNEXPECTED);
  EXPECT_NE(elsewhere.Description().find("No error"), std::string::npos) << elsewhere.Description();

  std::thread([] { CfxResult::SetLastError(E_POINTER); }).join();
  EXPECT_EQ(CfxResult::LastErrorCheckNotS_OK().Code(), E_ACCESSDENIED);
}

TEST(CfxResultTest, StoredSuccessCountsAsNoError) {
  CfxResult::SetLastError(E_FAIL);
  CfxResult::SetLastError(S_OK);
  EXPECT_EQ(CfxResult::LastErrorCheckNotS_OK().Code(), E_UNEXPECTED);
}

TEST(CfxResultTest, QueryFailureNamesTheInterface) {
  const CfxResult result = QueryInterfaceFailure(E_NOINTERFACE, InterfaceIdOf<ISBFileUrl>);
  EXPECT_EQ(result.Code(), E_NOINTERFACE);
  EXPECT_EQ(result.Description(),
            "Interface {1B9CE360-B200-483A-A319-AD51D5C39C1F} is not supported by the object (0x80004002).");

  const CfxResult other = QueryInterfaceFailure(E_OUTOFMEMORY, InterfaceIdOf<ISBFileUrl>);
  EXPECT_EQ(other.Code(), E_OUTOFMEMORY);
  EXPECT_NE(other.Description().find("{1B9CE360-B200-483A-A319-AD51D5C39C1F}"), std::string::npos);
  EXPECT_NE(other.Description().find("0x8007000E"), std::string::npos);
}

TEST(CfxResultTest, NullCheckRaisesEPointer) {
  const int value = 0;
  EXPECT_NO_THROW(CheckNullDereference(&value));
  try {
    CheckNullDereference(nullptr);
    ADD_FAILURE() << "no exception";
  } catch (const CfxResult& result) {
    EXPECT_EQ(result.Code(), E_POINTER);
    EXPECT_EQ(result.Description(), "Null pointer dereference.");
  }
}

TEST(CfxResultTest, GenericCatchesAreCounted) {
  const auto before = CfxGenericCatchCount();
  DiagnoseEntryToGenericCatch();
  DiagnoseEntryToGenericCatch();
  EXPECT_EQ(CfxGenericCatchCount(), before + 2);
}

}  // namespace
