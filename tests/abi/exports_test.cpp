// The application links against the library's exported names, so the
// export table must hold exactly the sixteen exports and nothing else; and
// the library must free what the host allocates with the host's own memory
// functions, imported from the host's libraries rather than copied in.
#include <cxxabi.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "export_table.h"

namespace {

const std::set<std::string>& AllowedExports() {
  static const std::set<std::string> allowed{
      "ID2MessageString",
      "AppUtils::Document::CreateZarnServerJob(CfxVariant const&, ISBState*, std::string const&, ISBContainerRoot*, "
      "bool)",
      "AppUtils::Document::ServerDocumentsFolder(ISBZarnServerJob*, ISBContainerRoot*)",
      "AppUtils::Document::AddStudyTableToJob(ISBZarnServerJob*, ISBUrl*, ISBContainerRoot*, ISBUrl*, bool, bool)",
      "AppUtils::Document::UnescapeRFC1738(std::string)",
      "AppUtils::Document::ReadTemplate(std::string const&, ISBContainerRoot*)",
      "AppUtils::Document::DeduceClientUrl(std::string const&, ISBManagedJob*, ISBContainerRoot*)",
      "AppUtils::Document::DownloadFile(CfxBSTR const&, ISBUrl*, ISBJob*)",
      "AppUtils::Document::StartLiveUpdates(ISBJob*)",
      "AppUtils::Document::StopLiveUpdates(ISBJob*)",
      "AppUtils::Document::ImportAndView(ISBUrl*, bool, ISBContainerRoot*)",
      "AppUtils::Document::RefreshResults(ISBUrl*, bool, ISBContainerRoot*)",
      "AppUtils::Document::SetDocumentLock(ISBUrl*, bool, ISBContainerRoot*)",
      "AppUtils::Document::GetPathToRealFile(ISBDocumentRoot*, ISBContainerRoot*)",
      "AppUtils::Document::HideFiles(ISBUrl*, ISBContainerRoot*)",
      "AppUtils::Document::HideDependentFiles(ISBUrl*, ISBContainerRoot*, bool)",
  };
  return allowed;
}

std::string Demangle(const std::string& name) {
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> text(abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status),
                                                   &std::free);
  if (status != 0 || !text) return name;
  std::string out = text.get();
  const std::string longForm = "std::__cxx11::basic_string<char, std::char_traits<char>, std::allocator<char> >";
  for (auto at = out.find(longForm); at != std::string::npos; at = out.find(longForm)) {
    out.replace(at, longForm.size(), "std::string");
  }
  return out;
}

TEST(Exports, OnlyTheSixteenExportsLeaveTheLibrary) {
  const auto symbols = exporttable::ExportedNames();
  ASSERT_FALSE(symbols.empty()) << "no exports found for " << ZARN_LIBRARY_PATH;

  bool messageLookupFound = false;
  for (const auto& raw : symbols) {
    const std::string name = Demangle(raw);
    EXPECT_TRUE(AllowedExports().count(name)) << "unexpected export: " << name << " (" << raw << ")";
    if (name == "ID2MessageString") {
      messageLookupFound = true;
      EXPECT_EQ(raw, "ID2MessageString") << "ID2MessageString must be exported undecorated";
    }
  }
  EXPECT_TRUE(messageLookupFound);
}

TEST(Exports, EveryExportIsDefinedWithItsExactSignature) {
  std::set<std::string> defined;
  for (const auto& raw : exporttable::ExportedNames()) defined.insert(Demangle(raw));
  for (const auto& name : AllowedExports()) EXPECT_TRUE(defined.count(name)) << "missing export: " << name;
}

// The memory functions of the host that free what host operations hand out.
TEST(Imports, TheHostsMemoryFunctionsComeFromTheHost) {
  const auto imports = exporttable::ImportedNames();
  ASSERT_FALSE(imports.empty()) << "no imports found for " << ZARN_LIBRARY_PATH;
  for (const auto& [library, name] : exporttable::HostMemoryImports()) {
    const auto found = imports.find(library);
    EXPECT_TRUE(found != imports.end() && found->second.count(name)) << name << " is not imported from " << library;
  }
}

}  // namespace
