// The scene of the client URL tests.
#pragma once

#include <string>

#include "ZarnServerJobUtils.h"
#include "fake_host/host.h"

namespace servertest {

// A container whose factory makes `made` for every URL text it is asked for
// in `urls`, and a job with a client folder.
struct ClientUrlHost {
  ClientUrlHost() {
    root.Add<fakehost::FakeContainerRoot>().urlFactory = &factory;
    factory.Add<fakehost::FakeUrlFactory>();
    job.Add<fakehost::FakeManagedJob>().clientFolder = OLESTR("C:/Projects/P1/Job17");
    made.Add<fakehost::FakeUrl>();
  }
  void Expect(const CfxWString& url) { factory.Get<fakehost::FakeUrlFactory>().urls[url] = &made; }
  CfxComPtr<ISBUrl> Deduce(const std::string& serverPath) {
    return AppUtils::Document::DeduceClientUrl(serverPath, job.As<ISBManagedJob>(), root.As<ISBContainerRoot>());
  }

  fakehost::Host host;
  fakehost::Object& root = host.Make("root");
  fakehost::Object& factory = host.Make("factory");
  fakehost::Object& job = host.Make("job");
  fakehost::Object& made = host.Make("made");
};

}  // namespace servertest
