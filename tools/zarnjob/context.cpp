#include "context.h"

#include <algorithm>
#include <filesystem>

#include "localhost/file_system.h"

namespace zarnjob {
namespace {

// --server is a folder on the command line: relative ones are taken from the
// current folder, not from the project's.
std::string ServerFolder(const GlobalOptions& options) {
  if (options.server.empty()) return {};
  return zarnlocal::PathText(std::filesystem::absolute(zarnlocal::NativePath(options.server)));
}

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

}  // namespace

void CallWatch::See(const zarnlocal::CallRecord& call) {
  if (call.status == S_FALSE && !call.description.empty()) {
    std::size_t at = 0;
    while (at < call.description.size()) {
      const std::size_t end = std::min(call.description.find('\n', at), call.description.size());
      LeftOut(call.description.substr(at, end - at));
      at = end + 1;
    }
  }
  if (!FAILED(call.status)) return;
  if (!call.description.empty()) lastFailure_ = call;
  if (call.interfaceName != "ISBLockable" || call.target.empty()) return;
  const std::string operation = call.operation == "Lock" ? "lock" : "unlock";
  auto found = std::find_if(refusals_.begin(), refusals_.end(),
                            [&](const Refusal& refusal) { return refusal.document == call.target; });
  if (found == refusals_.end()) {
    refusals_.push_back({call.target, {}, S_OK, {}});
    found = refusals_.end() - 1;
  }
  if (std::find(found->operations.begin(), found->operations.end(), operation) == found->operations.end()) {
    found->operations.push_back(operation);
  }
  found->status = call.status;
  found->reason = call.description;
}

void CallWatch::LeftOut(const std::string& what) {
  const std::string line = "error: left out: " + what;
  if (std::find(leftOut_.begin(), leftOut_.end(), line) == leftOut_.end()) leftOut_.push_back(line);
}

std::vector<std::string> CallWatch::RefusalLines() const {
  std::vector<std::string> lines;
  for (const Refusal& refusal : refusals_) {
    std::string operations;
    for (std::size_t i = 0; i < refusal.operations.size(); ++i) {
      operations += (i ? " and " : "") + refusal.operations[i];
    }
    std::string line = "error: " + zarnlocal::FormatStatus(refusal.status) + ": the host refused to " + operations +
                       " " + refusal.document;
    if (!refusal.reason.empty()) line += ": " + Trimmed(refusal.reason);
    lines.push_back(line);
  }
  return lines;
}

zarnlocal::Project Context::OpenProject() const { return OpenProject(options.project); }

zarnlocal::Project Context::OpenProject(const std::string& folder) const {
  return zarnlocal::Project::Open(folder, ServerFolder(options));
}

}  // namespace zarnjob
