// A host whose server job class makes `job`, a container with a job host,
// and a job template state: the scene of the job creation tests.
#pragma once

#include "fake_host/host.h"

namespace jobtest {

struct JobSetup {
  fakehost::Host host;
  fakehost::Object& job = host.Make("job");
  fakehost::Object& root = host.Make("root");
  fakehost::Object& state = host.Make("state");

  JobSetup() {
    job.Add<fakehost::FakeZarnServerJob>();
    root.Add<fakehost::FakeContainerRoot>();
    root.Add<fakehost::FakeJobHost>();
    state.Add<fakehost::FakeState>();
    host.createdJob = &job;
  }
  ISBContainerRoot* Root() const { return root.As<ISBContainerRoot>(); }
  ISBState* State() const { return state.As<ISBState>(); }
};

}  // namespace jobtest
