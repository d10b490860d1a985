// The application links against the library's exported names, so the
// dynamic symbol table must hold exactly the sixteen exports and nothing else.
#include <cxxabi.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

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

// The raw names of the symbols the shared library defines for others to bind to.
std::vector<std::string> DefinedDynamicSymbols(const std::string& library) {
  const std::string command = "nm -D --defined-only '" + library + "'";
  std::unique_ptr<FILE, decltype(&pclose)> pipe(popen(command.c_str(), "r"), &pclose);
  if (!pipe) return {};
  std::vector<std::string> names;
  char line[4096];
  while (std::fgets(line, sizeof line, pipe.get())) {
    std::istringstream fields(line);
    std::string address, type, name;
    fields >> address >> type >> name;
    if (name.empty()) continue;
    const auto version = name.find('@');  // drop symbol version tags
    names.push_back(name.substr(0, version));
  }
  return names;
}

TEST(Exports, OnlyTheSixteenExportsLeaveTheLibrary) {
  const auto symbols = DefinedDynamicSymbols(ZARN_LIBRARY_PATH);
  ASSERT_FALSE(symbols.empty()) << "nm found no symbols in " << ZARN_LIBRARY_PATH;

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
  for (const auto& raw : DefinedDynamicSymbols(ZARN_LIBRARY_PATH)) defined.insert(Demangle(raw));
  for (const auto& name : AllowedExports()) EXPECT_TRUE(defined.count(name)) << "missing export: " << name;
}

}  // namespace
