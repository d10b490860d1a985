#include "fake_host/fake_paths.h"

#include "fake_host/host.h"

namespace fakehost {

bool FakePaths::Extension(const std::string& path, std::string& extension) {
  host_.RecordOrThrow("Paths::Extension(" + Quote(path) + ")");
  const auto scripted = host_.extensionOf.find(path);
  if (scripted == host_.extensionOf.end()) return Paths::PlainRules().Extension(path, extension);
  extension = scripted->second.value_or("");
  return scripted->second.has_value();
}

std::string FakePaths::ReplaceExtension(const std::string& path, const std::string& extension) {
  host_.RecordOrThrow("Paths::ReplaceExtension(" + Quote(path) + ", " + Quote(extension) + ")");
  return Paths::PlainRules().ReplaceExtension(path, extension);
}

}  // namespace fakehost
