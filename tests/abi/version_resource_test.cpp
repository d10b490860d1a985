// Each DLL carries a version resource, read the way Windows reads it for the
// file's properties and installers do: the release's version, a description
// and the product name.
#include <windows.h>
// After windows.h, whose types it uses.
#include <gtest/gtest.h>
#include <winver.h>

#include <string>
#include <vector>

#include "zarn_version.h"

namespace {

std::wstring Widened(const std::string& ascii) { return {ascii.begin(), ascii.end()}; }

std::wstring Text(const std::vector<char>& info, const std::wstring& name) {
  void* text = nullptr;
  UINT length = 0;
  const std::wstring key = L"\\StringFileInfo\\040904B0\\" + name;
  if (!VerQueryValueW(info.data(), key.c_str(), &text, &length) || length == 0) return L"";
  return static_cast<const wchar_t*>(text);
}

TEST(VersionResource, EachDllNamesTheReleaseItselfAndTheProduct) {
  for (const std::string dll : {ZARN_LIBRARY_FILE, ZARN_CFX_FILE, ZARN_APPUTILS_FILE}) {
    SCOPED_TRACE(dll);
    const std::wstring file = Widened(dll);
    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeW(file.c_str(), &ignored));
    ASSERT_FALSE(info.empty()) << "no version resource";
    ASSERT_TRUE(GetFileVersionInfoW(file.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    const std::string version = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                                std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                                std::to_string(HIWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(version, ZARN_VERSION_STRING);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
    EXPECT_EQ(Text(info, L"FileVersion"), Widened(ZARN_VERSION_STRING));
    EXPECT_EQ(Text(info, L"ProductVersion"), Widened(ZARN_VERSION_STRING));
    EXPECT_EQ(Text(info, L"ProductName"), L"ZarnServerJobUtils");
    EXPECT_EQ(Text(info, L"OriginalFilename"), file);
    EXPECT_FALSE(Text(info, L"FileDescription").empty());
  }
}

}  // namespace
