// The file-type registry: document type names and dependent extensions by
// extension. Built in: "std" is a study table. A project adds its own in
// .zarn/filetypes, one line per extension:
//
//   # extension  type name                dependent extensions
//   abc          Acme.ModelDocument       def ghi
//
// Extensions are written without their dot and compared without regard to
// letter case; a project line replaces a built-in one of the same extension.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zarnlocal {

struct FileType {
  std::string extension;  // without dot, as written
  std::string typeName;
  std::vector<std::string> dependents;  // without dots, in the order written
};

inline constexpr std::string_view kStudyTableType = "SDDocuments.StudyTableDocument";
// The type of a file whose extension has no entry, and of a folder.
inline constexpr std::string_view kPlainDocumentType = "Document";
inline constexpr std::string_view kFolderType = "Folder";

class FileTypes {
 public:
  // The built-in entries, then those of `text` (the content of `source`,
  // named in errors). Throws CfxResult E_INVALIDARG for a malformed line.
  static FileTypes Load(const std::optional<std::string>& text, const std::string& source);

  // The entry of an extension given without its dot, or null.
  const FileType* Find(std::string_view extension) const;
  const std::vector<FileType>& Entries() const { return entries_; }

 private:
  void Put(FileType type);
  std::vector<FileType> entries_;
};

}  // namespace zarnlocal
