// The host's framework and utility DLLs export what their headers mark
// (CFX_API, APPUTILS_API) and nothing else: no helper of their own, nothing
// of the standard library, nothing a static library brought in. An
// application or a library bound to them relies on exactly these names.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "export_table.h"

namespace {

struct MarkedLibrary {
  const char* table;
  std::set<std::string> classes;    // marked classes: their members, vtables and type information
  std::set<std::string> functions;  // marked free functions, by qualified name
};

const std::vector<MarkedLibrary>& HostLibraries() {
  static const std::vector<MarkedLibrary> libraries{
      {ZARN_CFX_TABLE,
       {"CfxBSTR", "CfxVariant", "CfxResult", "CfxFileStream", "CfxFileStreamBackend", "CfxCallTracer",
        "CfxPlainTaskMemoryScope"},
       {"CfxNarrowToWide",         "CfxWideToNarrow",
        "CfxCodePageToWide",       "CfxWideToCodePage",
        "CfxCreateImpl",           "QueryInterfaceFailure",
        "CheckNullDereference",    "DiagnoseEntryToGenericCatch",
        "CfxRegisterClassFactory", "CfxSetFileStreamProvider",
        "CfxMakeSystemFileStream", "CfxSetApplicationCodePage",
        "CfxApplicationCodePage",  "CfxLiveStringCount",
        "CfxLiveTaskMemCount",     "CfxStringAllocationCount",
        "CfxGenericCatchCount",    "CfxSetTaskMemFreeObserver",
        "CfxFailStringAllocation", "CfxSetVariantClearHook",
        "CfxSetCallTracer",        "CfxCurrentCallTracer"}},
      {ZARN_APPUTILS_TABLE,
       {"Paths::Backend"},
       {"AppUtils::Container::GetDocumentManager", "AppUtils::Container::GetDiskManager",
        "AppUtils::Container::GetDocumentInfo", "AppUtils::Container::FileExists",
        "AppUtils::Container::CreateOperation", "AppUtils::Document::RegenerateDisplay", "Paths::Extension",
        "Paths::ReplaceExtension", "Paths::SetBackend", "Paths::PlainRules"}},
  };
  return libraries;
}

// The entity a demangled export belongs to: "CfxBSTR::CfxBSTR" for
// "CfxBSTR::CfxBSTR(char const*)", "CfxCallTracer" for "vtable for
// CfxCallTracer", "CfxNarrowToWide" for "CfxNarrowToWide[abi:cxx11](...)".
std::string Entity(std::string name) {
  for (const std::string prefix : {"vtable for ", "typeinfo for ", "typeinfo name for "}) {
    if (name.rfind(prefix, 0) == 0) name.erase(0, prefix.size());
  }
  return name.substr(0, name.find_first_of("([<"));
}

bool InClass(const std::string& entity, const std::string& marked) {
  return entity == marked || entity.rfind(marked + "::", 0) == 0;
}

TEST(HostLibraryExports, OnlyWhatTheHeaderMarksLeavesEachLibrary) {
  for (const MarkedLibrary& library : HostLibraries()) {
    SCOPED_TRACE(library.table);
    const auto symbols = exporttable::ExportedNames(library.table);
    ASSERT_FALSE(symbols.empty());
    std::set<std::string> seen;
    for (const auto& symbol : symbols) {
      const std::string entity = Entity(symbol);
      std::string mark;
      if (library.functions.count(entity)) mark = entity;
      for (const auto& marked : library.classes) {
        if (InClass(entity, marked)) mark = marked;
      }
      EXPECT_FALSE(mark.empty()) << "unmarked export: " << symbol;
      seen.insert(mark);
    }
    for (const auto& marked : library.classes) EXPECT_TRUE(seen.count(marked)) << "nothing of " << marked;
    for (const auto& marked : library.functions) EXPECT_TRUE(seen.count(marked)) << "missing: " << marked;
  }
}

}  // namespace
