// DeduceClientUrl: the client location that matches a file under a job's
// server side documents folder.
#include <string>
#include <string_view>

#include "ZarnServerJobUtils.h"
#include "frame/call_frame.h"

namespace {

constexpr std::string_view kMarker = "Documents";
constexpr const char* kOutsideDocuments = "File does not reside in server side documents folder.";

constexpr const char* kLeavesClientFolder = "File path leaves the client folder of the job.";

// True when the tail, appended to the client folder, climbs above it once
// the host has decoded its escapes and resolved its "." and ".." segments
// (separators '/' and '\'). Escapes are decoded first, so "%2E%2E" climbs
// as ".." does and "%2F" separates as '/' does. A tail that does not begin
// with a separator continues the client folder's own name, so its first
// segment is part of that name and neither adds nor removes a level.
bool ClimbsOut(const std::string& tail) {
  const std::string decoded = AppUtils::Document::UnescapeRFC1738(tail);
  const std::string_view path = decoded;
  int depth = 0;
  bool continuesFolderName = !path.empty() && path.front() != '/' && path.front() != '\\';
  for (std::size_t begin = 0;;) {
    const std::size_t end = path.find_first_of("/\\", begin);
    const std::string_view segment = path.substr(begin, end - begin);
    if (continuesFolderName) {
      continuesFolderName = false;
    } else if (segment == "..") {
      if (--depth < 0) return true;
    } else if (!segment.empty() && segment != ".") {
      ++depth;
    }
    if (end == std::string_view::npos) return false;
    begin = end + 1;
  }
}

}  // namespace

namespace AppUtils::Document {

CfxComPtr<ISBUrl> DeduceClientUrl(const std::string& serverPath, ISBManagedJob* job, ISBContainerRoot* root) {
  using namespace zarn;

  CfxComPtr<ISBUrlFactory> factory;
  CheckStatus(NotNull(root)->GetUrlFactory(factory.put()));

  // Only the first occurrence counts, also inside a longer name.
  const std::size_t marker = serverPath.find(kMarker);
  if (marker == std::string::npos) Raise(E_INVALIDARG, kOutsideDocuments);
  const std::string tail = serverPath.substr(marker + kMarker.size());
  // The server names the tail and the file is then written on the client.
  if (ClimbsOut(tail)) Raise(E_INVALIDARG, kLeavesClientFolder);

  CfxBSTR clientFolder;
  clientFolder.CopyOnWrite();
  CheckStatus(NotNull(job)->GetClientFolder(clientFolder.out()));

  // Nothing is added, removed or escaped between the parts.
  const std::string clientUrl = "file:" + clientFolder.ToTString() + tail;

  CfxComPtr<ISBUrl> result;
  NotNull(factory);
  {
    const CfxBSTR text(clientUrl);
    CheckStatus(factory->CreateUrl(text.in(), result.put()));
  }
  return result;
}

}  // namespace AppUtils::Document
