#include "hiding/companion_folder.h"

#include <string>
#include <string_view>

#include "frame/call_frame.h"
#include "hiding/hide_path.h"

namespace zarn {
namespace {

constexpr std::string_view kSpaceSuffix = " Files/";
constexpr std::string_view kUnderscoreSuffix = "_Files/";
constexpr CfxWStringView kEverything = OLESTR("*");
constexpr CfxWStringView kRecursive = OLESTR("Recursive=Yes");

// Makes the folder location beside the table and its file view, and tells
// whether the folder exists.
bool FindFolder(ISBUrl* studyTable, const std::string& folderName, CfxComPtr<ISBUrl>& folder,
                CfxComPtr<ISBFileUrl>& view) {
  CheckStatus(NotNull(studyTable)->CreateChildUrl(CfxBSTR(folderName).in(), folder.put()));
  view = CfxComPtr<ISBFileUrl>::Query(folder);
  VARIANT_BOOL exists = VARIANT_FALSE;
  CheckStatus(NotNull(view)->Exists(&exists));
  return exists != VARIANT_FALSE;
}

}  // namespace

void HideCompanionFolder(ISBUrl* studyTable, ISBUrlFactory* factory) {
  CfxBSTR name;
  name.CopyOnWrite();
  CheckStatus(NotNull(studyTable)->GetName(name.out()));
  const std::string tableName = name.ToTString();

  CfxComPtr<ISBUrl> folder;
  CfxComPtr<ISBFileUrl> view;
  if (!FindFolder(studyTable, tableName + std::string(kSpaceSuffix), folder, view) &&
      !FindFolder(studyTable, tableName + std::string(kUnderscoreSuffix), folder, view)) {
    return;
  }

  // The folder first, so that it is hidden even if listing its content fails.
  CfxBSTR folderPath;
  folderPath.CopyOnWrite();
  CheckStatus(NotNull(view)->GetFilePath(folderPath.out()));
  HidePath(factory, folderPath);

  const auto services = CfxComPtr<ISBUrlServices>::Query(factory);
  CfxComPtr<ISBUrl> everything;
  CheckStatus(NotNull(folder)->CreateChildUrl(CfxBSTR(kEverything).in(), everything.put()));
  CheckStatus(NotNull(everything)->SetQuery(CfxBSTR(kRecursive).in()));
  CfxComPtr<ISBUrlList> list;
  CheckStatus(NotNull(services)->ListUrls(everything.get(), list.put()));
  HideListedFiles(list, factory);
}

}  // namespace zarn
