// The host's side of the path utilities: a host may take over
// Paths::Extension and Paths::ReplaceExtension (a fake host does, to see and
// fail them). Without one, plain file-name rules apply.
#pragma once

#include <string>

#include "host/host_api.h"

namespace Paths {

class APPUTILS_API Backend {
 public:
  virtual ~Backend();
  virtual bool Extension(const std::string& path, std::string& extension) = 0;
  virtual std::string ReplaceExtension(const std::string& path, const std::string& extension) = 0;
};

// Installs a backend (not owned); null restores the plain rules.
APPUTILS_API void SetBackend(Backend* backend) noexcept;

// The plain file-name rules, for a backend that answers some paths itself
// and leaves the rest to them.
APPUTILS_API Backend& PlainRules() noexcept;

}  // namespace Paths
