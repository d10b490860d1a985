// A host with one template file behind the location text "tpl": the
// container's URL factory makes `location`, whose file path is kPath.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ZarnServerJobUtils.h"
#include "fake_host/host.h"

namespace servertest {

struct TemplateHost {
  static constexpr const OLECHAR* kPath = OLESTR("/t/job.tpl");

  TemplateHost() {
    root.Add<fakehost::FakeContainerRoot>().urlFactory = &factory;
    factory.Add<fakehost::FakeUrlFactory>().urls[OLESTR("tpl")] = &location;
    location.Add<fakehost::FakeUrl>();
    location.Add<fakehost::FakeFileUrl>().path = kPath;
  }

  // Puts the bytes in the file (chunks: see fakehost::FakeFile) and reads it.
  std::string Read(std::string bytes, std::vector<std::uint32_t> chunks = {}, bool eofBeforeRead = true) {
    host.AddFile(kPath, std::move(bytes), std::move(chunks), eofBeforeRead);
    return AppUtils::Document::ReadTemplate("tpl", root.As<ISBContainerRoot>());
  }

  fakehost::Host host;
  fakehost::Object& root = host.Make("root");
  fakehost::Object& factory = host.Make("factory");
  fakehost::Object& location = host.Make("location");
};

}  // namespace servertest
