// The application links against the library's exported names, so the
// export table must hold exactly the sixteen exports and nothing else; and
// the library must free what the host allocates with the host's own memory
// functions, imported from the host's libraries rather than copied in.
#include <gtest/gtest.h>

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

// The name as the header spells it: the standard library's string by its alias.
std::string Readable(std::string name) {
  const std::string longForm = "std::__cxx11::basic_string<char, std::char_traits<char>, std::allocator<char> >";
  for (auto at = name.find(longForm); at != std::string::npos; at = name.find(longForm)) {
    name.replace(at, longForm.size(), "std::string");
  }
  return name;
}

TEST(Exports, OnlyTheSixteenExportsLeaveTheLibrary) {
  const auto symbols = exporttable::ExportedNames(ZARN_LIBRARY_TABLE);
  ASSERT_FALSE(symbols.empty()) << "no exports found in " << ZARN_LIBRARY_TABLE;

  // A C++ name reads with its parameters, so "ID2MessageString" itself is
  // the undecorated C name.
  for (const auto& symbol : symbols) {
    EXPECT_TRUE(AllowedExports().count(Readable(symbol))) << "unexpected export: " << symbol;
  }
  EXPECT_EQ(symbols.size(), AllowedExports().size());
}

TEST(Exports, EveryExportIsDefinedWithItsExactSignature) {
  std::set<std::string> defined;
  for (const auto& symbol : exporttable::ExportedNames(ZARN_LIBRARY_TABLE)) defined.insert(Readable(symbol));
  for (const auto& name : AllowedExports()) EXPECT_TRUE(defined.count(name)) << "missing export: " << name;
}

// The memory functions of the host that free what host operations hand out.
// Under Microsoft's compiler an exported class's inline members are the
// DLL's: the library may reach them through the framework's DLL (which must
// then import them from the host's library itself).
TEST(Imports, TheHostsMemoryFunctionsComeFromTheHost) {
  const auto imports = exporttable::ImportedNames(ZARN_LIBRARY_TABLE);
  ASSERT_FALSE(imports.empty()) << "no imports found in " << ZARN_LIBRARY_TABLE;
  const auto importsFrom = [](const auto& table, const std::string& library, const std::string& name) {
    const auto found = table.find(library);
    return found != table.end() && found->second.count(name) > 0;
  };
  for (const auto& [library, name] : exporttable::HostMemoryImports()) {
    bool fromHost = importsFrom(imports, library, name);
#ifdef ZARN_CFX_TABLE
    if (!fromHost && imports.count(ZARN_CFX_FILE_UPPER)) {
      fromHost = importsFrom(exporttable::ImportedNames(ZARN_CFX_TABLE), library, name);
    }
#endif
    EXPECT_TRUE(fromHost) << name << " is not imported from " << library;
  }
}

}  // namespace
