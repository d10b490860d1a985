// A destination location with a file path and a job that can transfer files:
// the scene of the download tests.
#pragma once

#include "ZarnServerJobUtils.h"
#include "fake_host/host.h"

namespace servertest {

struct DownloadHost {
  DownloadHost() {
    destination.Add<fakehost::FakeUrl>();
    destination.Add<fakehost::FakeFileUrl>().path = OLESTR("/c/Job17/out.txt");
    job.Add<fakehost::FakeJob>();
    job.Add<fakehost::FakeJobTransfer>();
  }
  void Download() {
    const CfxBSTR source("/jobs/17/Documents/out.txt");
    AppUtils::Document::DownloadFile(source, destination.As<ISBUrl>(), job.As<ISBJob>());
  }

  fakehost::Host host;
  fakehost::Object& destination = host.Make("dest");
  fakehost::Object& job = host.Make("job");
};

}  // namespace servertest
