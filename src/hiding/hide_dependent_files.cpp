// HideDependentFiles: hides the files that belong to the documents a location
// lists, while the documents stay visible. A study table owns its companion
// folder; any other document owns the files beside it whose extensions the
// host's file-type registry lists as dependent on its own.
#include <string>
#include <string_view>
#include <vector>

#include "ZarnServerJobUtils.h"
#include "frame/call_frame.h"
#include "frame/file_path.h"
#include "frame/listing_walk.h"
#include "hiding/companion_folder.h"
#include "hiding/dependent_extensions.h"
#include "hiding/hide_path.h"
#include "host/container_utils.h"

namespace AppUtils::Document {
namespace {

constexpr CfxWStringView kRecursive = OLESTR("Recursive=Yes");
constexpr CfxWStringView kNotRecursive = OLESTR("Recursive=No");
// Matched whole and with case: any other text is an ordinary document.
constexpr CfxWStringView kStudyTableType = OLESTR("SDDocuments.StudyTableDocument");

// Hides each file beside the document that carries one of the extensions and
// exists; a missing one is passed over.
void HideDependents(ISBUrl* document, const std::vector<std::string>& extensions, ISBContainerRoot* container,
                    ISBUrlFactory* factory) {
  const std::string path = zarn::FilePathOf(document).ToTString();
  for (const std::string& extension : extensions) {
    const std::string candidate = Paths::ReplaceExtension(path, extension);
    if (AppUtils::Container::FileExists(candidate, container)) zarn::HidePath(factory, CfxBSTR(candidate));
  }
}

}  // namespace

void HideDependentFiles(ISBUrl* files, ISBContainerRoot* container, bool recursive) {
  zarn::RequireArgument(files, "No files to test");

  CfxComPtr<ISBUrlFactory> factory;
  zarn::CheckStatus(zarn::NotNull(container)->GetUrlFactory(factory.put()));
  const auto services = CfxComPtr<ISBUrlServices>::Query(factory);

  // The query stays on the caller's location after the call.
  zarn::CheckStatus(files->SetQuery(CfxBSTR(recursive ? kRecursive : kNotRecursive).in()));
  CfxComPtr<ISBUrlList> list;
  zarn::CheckStatus(zarn::NotNull(services)->ListUrls(files, list.put()));

  CfxComPtr<ISBDocumentManager> documents;
  zarn::CheckStatus(zarn::NotNull(container)->GetDocumentManager(documents.put()));

  zarn::WalkListing(list, [&](const CfxComPtr<ISBUrl>& entry) {
    CfxBSTR type;
    type.CopyOnWrite();
    zarn::CheckStatus(zarn::NotNull(documents)->GetDocumentType(entry.get(), type.out()));
    if (type == kStudyTableType) {
      zarn::HideCompanionFolder(entry.get(), factory.get());
      return;
    }
    const std::vector<std::string> extensions = zarn::DependentExtensions(entry.get(), documents.get());
    if (!extensions.empty()) HideDependents(entry.get(), extensions, container, factory.get());
  });
}

}  // namespace AppUtils::Document
