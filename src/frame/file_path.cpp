#include "frame/file_path.h"

#include "frame/call_frame.h"

namespace zarn {

CfxBSTR FilePathOf(ISBUrl* location) {
  const auto view = CfxComPtr<ISBFileUrl>::Query(location);
  CfxBSTR path;
  path.CopyOnWrite();
  CheckStatus(NotNull(view)->GetFilePath(path.out()));
  return path;
}

}  // namespace zarn
