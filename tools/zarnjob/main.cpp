// zarnjob: tries the exports of ZarnServerJobUtils over the local reference
// host, one command per export, and walks the whole road with "demo".
//
// Exit status: 0 done; 1 a raised CfxResult (or another failure), printed as
// "error: 0xSTATUS: DESCRIPTION", a lock or unlock the host refused (one such
// line per document, even where the library goes on), an entry a listing
// left out, or references left outstanding; 2 a usage error, printed with
// the usage.
#include <cstdio>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "arguments.h"
#include "cfx/cfx_host.h"
#include "commands.h"
#include "context.h"
#include "entry.h"
#include "help.h"
#include "host/cfx_result.h"
#include "localhost/local_host.h"
#include "trace.h"
#include "zarn_version.h"

namespace zarnjob {
namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

std::string ErrorLine(HRESULT code, const std::string& description) {
  return "error: " + zarnlocal::FormatStatus(code) + ": " + Trimmed(description) + "\n";
}

// A failure raised with last-description action 1 (a failed download) stands
// in for the host's own failure, which the last error still holds: say both.
// The null-dereference result when the host stored a failure during the
// library call is said after that failure, which is why there was nothing.
std::string ErrorLineOf(const CfxResult& failure, const CallWatch& watch) {
  std::string description = Trimmed(failure.Description());
  if (failure.LastDescriptionAction() == 1) {
    const CfxResult cause = CfxResult::LastErrorCheckNotS_OK();
    if (FAILED(cause.Code()) && cause.Code() != failure.Code()) {
      description += " (" + zarnlocal::FormatStatus(cause.Code()) + ": " + Trimmed(cause.Description()) + ")";
    }
  } else if (failure.Code() == E_POINTER && watch.LastFailure()) {
    // What went wrong is the host's failure; the library's null dereference
    // only followed from it.
    const zarnlocal::CallRecord& cause = *watch.LastFailure();
    return ErrorLine(cause.status, Trimmed(cause.description) + " (in the host's " + cause.interfaceName + "." +
                                       cause.operation + "; the library then raised " +
                                       zarnlocal::FormatStatus(failure.Code()) + ": " + description + ")");
  }
  return ErrorLine(failure.Code(), description);
}

int Usage(const UsageError& error) {
  std::fprintf(stderr, "zarnjob: %s\n\n", error.what());
  PrintHelp(stderr, error.Topic());
  return kUsage;
}

int Execute(const CommandLine& line) {
  std::optional<Tracer> tracer;
  if (line.global.trace) tracer.emplace(stderr);
  Context context{line.global, tracer ? &*tracer : nullptr, {}};

  std::string failure;
  try {
    CommandOf(line.invocation->command).run(context, *line.invocation);
  } catch (const UsageError& error) {
    return Usage(error);
  } catch (const CfxResult& result) {
    failure = ErrorLineOf(result, context.watch);
  } catch (const std::bad_alloc&) {
    failure = ErrorLine(E_OUTOFMEMORY, "out of memory");
  } catch (const std::exception& error) {
    failure = ErrorLine(E_FAIL, error.what());
  }

  // Every reference the command took is gone by now; any left is a leak.
  const std::size_t outstanding = zarnlocal::OutstandingReferenceCount();
  if (tracer) tracer->ReportOutstanding(outstanding);
  // What the host refused and the library may not say (a lock it could not
  // record) comes before the failure that ended the command, if any.
  const std::vector<std::string> refusals = context.watch.RefusalLines();
  const std::vector<std::string>& leftOut = context.watch.LeftOutLines();
  for (const std::string& line : leftOut) std::fprintf(stderr, "%s\n", line.c_str());
  for (const std::string& line : refusals) std::fprintf(stderr, "%s\n", line.c_str());
  std::fputs(failure.c_str(), stderr);
  if (outstanding != 0) {
    std::fprintf(stderr, "error: %zu references to host objects were not released\n", outstanding);
    return kFailed;
  }
  return failure.empty() && refusals.empty() && leftOut.empty() ? 0 : kFailed;
}

}  // namespace

int Main(const std::vector<std::string>& words) {
  // The tool's text is UTF-8 on every platform, the library's narrow text too.
  CfxSetApplicationCodePage(kCfxCodePageUtf8);
  CommandLine line;
  try {
    line = ParseCommandLine(words, CommandSpecs());
  } catch (const UsageError& error) {
    return Usage(error);
  }
  if (line.help) {
    PrintHelp(stdout, line.helpTopic);
    return 0;
  }
  if (line.version) {
    std::printf("zarnjob %s\n", ZARN_VERSION_STRING);
    return 0;
  }
  if (!line.invocation) return Usage(UsageError("no command was given", ""));
  return Execute(line);
}

}  // namespace zarnjob
