#include "fake_host/fake_paths.h"

#include "fake_host/host.h"

namespace fakehost {
namespace {

// Where the extension begins: the last '.' of the file name, or npos. As in
// the host's own rules, a dot that begins the name (".profile") is no extension.
std::size_t ExtensionStart(const std::string& path) {
  const std::size_t separator = path.find_last_of("/\\");
  const std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
  const std::size_t dot = path.rfind('.');
  return dot != std::string::npos && dot > nameStart ? dot : std::string::npos;
}

}  // namespace

bool FakePaths::Extension(const std::string& path, std::string& extension) {
  host_.RecordOrThrow("Paths::Extension(" + Quote(path) + ")");
  std::optional<std::string> found;
  if (const auto scripted = host_.extensionOf.find(path); scripted != host_.extensionOf.end()) {
    found = scripted->second;
  } else if (const std::size_t dot = ExtensionStart(path); dot != std::string::npos) {
    found = path.substr(dot);
  }
  extension = found.value_or("");
  return found.has_value();
}

std::string FakePaths::ReplaceExtension(const std::string& path, const std::string& extension) {
  host_.RecordOrThrow("Paths::ReplaceExtension(" + Quote(path) + ", " + Quote(extension) + ")");
  return path.substr(0, ExtensionStart(path)) + extension;
}

}  // namespace fakehost
