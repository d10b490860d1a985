// Path utilities: plain file-name rules unless a host installs a backend.
#include <atomic>
#include <string>

#include "apputils/paths_backend.h"
#include "cfx/call_tracer.h"
#include "host/container_utils.h"

namespace Paths {
namespace {

// Position of the extension's dot, or npos. A dot that begins the file name
// (".profile") marks a hidden file, not an extension.
std::string::size_type ExtensionDot(const std::string& path) noexcept {
  const std::string::size_type separator = path.find_last_of("/\\");
  const std::string::size_type nameStart = separator == std::string::npos ? 0 : separator + 1;
  const std::string::size_type dot = path.rfind('.');
  if (dot == std::string::npos || dot <= nameStart) return std::string::npos;
  return dot;
}

class Plain final : public Backend {
 public:
  bool Extension(const std::string& path, std::string& extension) override {
    const std::string::size_type dot = ExtensionDot(path);
    if (dot == std::string::npos) {
      extension.clear();
      return false;
    }
    extension = path.substr(dot);
    return true;
  }
  std::string ReplaceExtension(const std::string& path, const std::string& extension) override {
    const std::string::size_type dot = ExtensionDot(path);
    return (dot == std::string::npos ? path : path.substr(0, dot)) + extension;
  }
};

std::atomic<Backend*> installed{nullptr};

Backend& Current() noexcept {
  Backend* backend = installed.load(std::memory_order_acquire);
  return backend ? *backend : PlainRules();
}

}  // namespace

Backend::~Backend() = default;

Backend& PlainRules() noexcept {
  static Plain plain;
  return plain;
}

void SetBackend(Backend* backend) noexcept { installed.store(backend, std::memory_order_release); }

bool Extension(const std::string& path, std::string& extension) {
  return CfxTraceCall(
      "Paths::Extension", [&](HRESULT&) { return Current().Extension(path, extension); }, path);
}

std::string ReplaceExtension(const std::string& path, const std::string& extension) {
  return CfxTraceCall(
      "Paths::ReplaceExtension", [&](HRESULT&) { return Current().ReplaceExtension(path, extension); }, path,
      extension);
}

}  // namespace Paths
