// What every command runs with: the global options, the project they name,
// and the scope in which the library is called (and traced, and watched).
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "arguments.h"
#include "localhost/local_host.h"
#include "trace.h"

namespace zarnjob {

// What the host said during the library calls of a command that the library
// itself may not pass on: the failures it stored, and the documents whose
// lock or unlock it refused.
class CallWatch {
 public:
  void See(const zarnlocal::CallRecord& call);

  // The last failure the host stored during a library call, if any.
  const std::optional<zarnlocal::CallRecord>& LastFailure() const { return lastFailure_; }
  void ForgetFailure() { lastFailure_.reset(); }

  // One line per document whose lock or unlock the host refused, in the
  // order the documents were first refused:
  //   error: 0x80070005: the host refused to lock /p/R/a.txt: WHY
  std::vector<std::string> RefusalLines() const;

  // What a listing left out and went on past (a host listing says it with
  // its success status 1 and a note; the tool's own view adds its own), one
  // line each, first seen first, each once:
  //   error: left out: cannot list the folder /p/R: Permission denied
  void LeftOut(const std::string& what);
  const std::vector<std::string>& LeftOutLines() const { return leftOut_; }

 private:
  struct Refusal {
    std::string document;
    std::vector<std::string> operations;  // "lock", "unlock", in call order
    HRESULT status = S_OK;
    std::string reason;  // the last refusal's
  };
  std::optional<zarnlocal::CallRecord> lastFailure_;
  std::vector<Refusal> refusals_;
  std::vector<std::string> leftOut_;
};

struct Context {
  GlobalOptions options;
  Tracer* tracer = nullptr;  // with --trace
  CallWatch watch;

  // The project of --project, with the server of --server when given.
  zarnlocal::Project OpenProject() const;
  // A project in another folder, with the same server choice (the demo's).
  zarnlocal::Project OpenProject(const std::string& folder) const;

  // Runs a call into the library. With --trace its host calls are written
  // as they happen; the tool's own host calls outside it never are. Every
  // host call inside it is watched.
  template <class Call>
  decltype(auto) Library(Call&& call) {
    struct Scope {
      Context& context;
      explicit Scope(Context& c) : context(c) {
        context.watch.ForgetFailure();
        if (context.tracer) context.tracer->Start();
        zarnlocal::SetCallObserver([this](const zarnlocal::CallRecord& record) {
          context.watch.See(record);
          if (context.tracer) context.tracer->HostCall(record);
        });
      }
      ~Scope() {
        try {
          zarnlocal::SetCallObserver({});
        } catch (...) {
          // Removing an observer allocates nothing; nothing to do if it did fail.
        }
        if (context.tracer) context.tracer->Stop();
      }
    } scope(*this);
    return std::forward<Call>(call)();
  }
};

}  // namespace zarnjob
