// The host's path utilities as a test sees them: scripted extensions,
// every call journaled and open to injected faults.
#pragma once

#include <string>

#include "apputils/paths_backend.h"

namespace fakehost {

class Host;

class FakePaths final : public Paths::Backend {
 public:
  explicit FakePaths(Host& host) : host_(host) {}
  bool Extension(const std::string& path, std::string& extension) override;
  std::string ReplaceExtension(const std::string& path, const std::string& extension) override;

 private:
  Host& host_;
};

}  // namespace fakehost
