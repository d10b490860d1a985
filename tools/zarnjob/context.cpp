#include "context.h"

#include <filesystem>

namespace zarnjob {
namespace {

// --server is a folder on the command line: relative ones are taken from the
// current folder, not from the project's.
std::string ServerFolder(const GlobalOptions& options) {
  if (options.server.empty()) return {};
  return std::filesystem::absolute(options.server).string();
}

}  // namespace

zarnlocal::Project Context::OpenProject() const { return OpenProject(options.project); }

zarnlocal::Project Context::OpenProject(const std::string& folder) const {
  return zarnlocal::Project::Open(folder, ServerFolder(options));
}

}  // namespace zarnjob
