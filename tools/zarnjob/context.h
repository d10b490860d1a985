// What every command runs with: the global options, the project they name,
// and the scope in which the library is called (and traced).
#pragma once

#include <utility>

#include "arguments.h"
#include "localhost/local_host.h"
#include "trace.h"

namespace zarnjob {

struct Context {
  GlobalOptions options;
  Tracer* tracer = nullptr;  // with --trace

  // The project of --project, with the server of --server when given.
  zarnlocal::Project OpenProject() const;
  // A project in another folder, with the same server choice (the demo's).
  zarnlocal::Project OpenProject(const std::string& folder) const;

  // Runs a call into the library. With --trace its host calls are written
  // as they happen; the tool's own host calls outside it never are.
  template <class Call>
  decltype(auto) Library(Call&& call) {
    struct Scope {
      Tracer* tracer;
      explicit Scope(Tracer* t) : tracer(t) {
        if (tracer) tracer->Start();
      }
      ~Scope() {
        if (tracer) tracer->Stop();
      }
    } scope(tracer);
    return std::forward<Call>(call)();
  }
};

}  // namespace zarnjob
