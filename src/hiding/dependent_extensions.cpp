#include "hiding/dependent_extensions.h"

#include "frame/call_frame.h"
#include "frame/file_path.h"
#include "hiding/task_mem_strings.h"
#include "host/container_utils.h"

namespace zarn {

std::vector<std::string> DependentExtensions(ISBUrl* document, ISBDocumentManager* documents) {
  std::vector<std::string> dependents;

  std::string extension;
  if (!Paths::Extension(FilePathOf(document).ToTString(), extension) || extension.empty()) return dependents;
  // The path utilities may give the extension with its dot; the registry
  // wants it without. Only the first character is ever removed.
  if (extension.front() == '.') extension.erase(0, 1);

  const auto provider = CfxComPtr<ISBFileTypeProvider>::Query(documents);
  CfxComPtr<ISBFileTypes> fileTypes;
  CheckStatus(NotNull(provider)->GetFileTypes(fileTypes.put()));

  TaskMemStrings texts;
  CheckStatus(
      NotNull(fileTypes)->GetDependentExtensions(CfxBSTR(extension).in(), texts.ArraySlot(), texts.CountSlot()));
  texts.TakeEach([&](const OLECHAR* text) { dependents.push_back("." + CfxBSTR(text).ToTString()); });
  return dependents;
}

}  // namespace zarn
