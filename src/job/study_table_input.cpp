// Staging a study table as a job input: the document is registered with the
// job under its name in the job, and the files of its companion folder are
// copied into the job's server documents folder, into a folder whose name
// matches that staged name. Nothing is undone when a later step fails.
#include <cstdint>
#include <initializer_list>
#include <string>

#include "ZarnServerJobUtils.h"
#include "frame/call_frame.h"
#include "frame/file_path.h"

namespace AppUtils::Document {
namespace {

// What CopyFiles is given besides its two paths and four empty variants.
constexpr std::int32_t kCopyFlags = 513;
constexpr std::int32_t kCopyOptions = 0;

CfxBSTR NameOf(ISBUrl* location) {
  CfxBSTR name;
  name.CopyOnWrite();
  zarn::CheckStatus(zarn::NotNull(location)->GetName(name.out()));
  return name;
}

CfxBSTR FileNameOf(ISBUrl* location) {
  CfxBSTR fileName;
  fileName.CopyOnWrite();
  zarn::CheckStatus(zarn::NotNull(location)->GetFileName(fileName.out()));
  return fileName;
}

CfxComPtr<ISBUrl> ChildOf(ISBUrl* location, const std::string& relativePath) {
  const CfxBSTR path(relativePath);
  CfxComPtr<ISBUrl> child;
  zarn::CheckStatus(zarn::NotNull(location)->CreateChildUrl(path.in(), child.put()));
  return child;
}

// The target written relative to the base, with its URL escapes decoded.
std::string DecodedRelativePath(ISBUrl* base, ISBUrl* target) {
  CfxBSTR relative;
  relative.CopyOnWrite();
  zarn::CheckStatus(zarn::NotNull(base)->GetRelativeUrl(target, relative.out()));
  return UnescapeRFC1738(relative.ToTString());
}

// Whether something exists at the child of the document with this name.
bool ChildExists(ISBUrl* document, const std::string& name) {
  const auto view = CfxComPtr<ISBFileUrl>::Query(ChildOf(document, name));
  VARIANT_BOOL exists = VARIANT_FALSE;
  zarn::CheckStatus(zarn::NotNull(view)->Exists(&exists));
  return exists != VARIANT_FALSE;
}

}  // namespace

void AddStudyTableToJob(ISBZarnServerJob* job, ISBUrl* studyTable, ISBContainerRoot* root, ISBUrl* relativeTo,
                        bool useFileAreaName, bool stageInInput) {
  CfxComPtr<ISBJobFiles> files;
  zarn::CheckStatus(zarn::NotNull(job)->GetJobFiles(files.put()));

  // The staged location only gives the document its name in the job; the
  // job always receives the study table itself.
  CfxComPtr<ISBUrl> staged;
  if (useFileAreaName) {
    CfxBSTR areaName;
    areaName.CopyOnWrite();
    zarn::CheckStatus(zarn::NotNull(files)->GetName(areaName.out()));
    staged = ChildOf(studyTable, areaName.ToTString() + ".std");
  } else {
    staged = CfxComPtr<ISBUrl>(studyTable);
  }
  ISBUrl* base = relativeTo;
  if (stageInInput) {
    // The narrow text goes straight back through the narrow constructor, so
    // it must be in the application's code page like every other name here:
    // UTF-8 bytes read as a single-byte code page would stage a different file.
    const std::string fileName = FileNameOf(staged.get()).ToTString();
    staged = ChildOf(staged.get(), "Input/" + fileName);
    base = studyTable;
  }

  CfxBSTR nameInJob = FileNameOf(staged.get());
  if (base) nameInJob = CfxBSTR(DecodedRelativePath(base, staged.get()));
  zarn::CheckStatus(job->AddInputFile(studyTable, nameInJob.in()));

  // The companion folder: "<name> Files", or else "<name>_Files".
  const std::string documentName = NameOf(studyTable).ToTString();
  std::string companion = documentName + " Files";
  if (!ChildExists(studyTable, companion)) {
    companion = documentName + "_Files";
    if (!ChildExists(studyTable, companion)) return;
  }
  const CfxBSTR source = zarn::FilePathOf(ChildOf(studyTable, companion + "/*").get());

  // The copies always go to "<staged name> Files", whichever form was found.
  const std::string stagedCompanion = NameOf(staged.get()).ToTString() + " Files";
  const std::string relativePath =
      base ? DecodedRelativePath(base, ChildOf(staged.get(), stagedCompanion).get()) : stagedCompanion;
  const std::string destinationText = ServerDocumentsFolder(job, root).ToTString() + '\\' + relativePath;
  const CfxBSTR destination(destinationText);

  CfxVariant first;
  CfxVariant second;
  CfxVariant third;
  CfxVariant fourth;
  CfxComPtr<IUnknown> copied;
  zarn::CheckStatus(zarn::NotNull(files)->CopyFiles(source.in(), destination.in(), kCopyFlags, kCopyOptions, first,
                                                    second, third, fourth, copied.put()));
  copied.Reset();
  for (CfxVariant* holder : {&first, &second, &third, &fourth}) zarn::QuietRelease(*holder);
}

}  // namespace AppUtils::Document
