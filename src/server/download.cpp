// DownloadFile: has the job copy a server file to a client location.
#include "ZarnServerJobUtils.h"
#include "frame/call_frame.h"
#include "frame/file_path.h"

namespace AppUtils::Document {

void DownloadFile(const CfxBSTR& source, ISBUrl* destination, ISBJob* job) {
  using namespace zarn;

  RequireArgument(job, "Need a job to download a file");
  const CfxBSTR path = FilePathOf(destination);
  const auto transfer = CfxComPtr<ISBJobTransfer>::Query(job);

  const HRESULT status = NotNull(transfer)->Download(source.in(), path.in(), 1, 0);
  // The download's own status stays the last error; the caller gets the
  // download failure instead of it.
  if (status != S_OK) CfxResult::SetLastError(status);
  if (FAILED(status)) Raise(E_UNEXPECTED, "Failed to download file from server.\n", 1);
}

}  // namespace AppUtils::Document
