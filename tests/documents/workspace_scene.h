// The scene of the real file path tests.
#pragma once

#include "fake_host/host.h"

namespace documents_test {

using namespace fakehost;

// A document with a path of its own, and a container that can split, join
// and expand paths and save documents.
struct Workspace {
  Host host;
  Object& doc = host.Make("doc");
  Object& info = host.Make("info");
  Object& root = host.Make("root");
  Object& disk = host.Make("disk");
  Object& environment = host.Make("environment");
  Object& manager = host.Make("manager");

  explicit Workspace(VARIANT_BOOL isVirtual) {
    doc.Add<FakeDocumentRoot>().info = &info;
    doc.Add<FakeDocumentStorage>().isVirtual = isVirtual;
    info.Add<FakeDocumentInfo>().path = OLESTR("C:\\Runs\\Bericht Ä 1.SDD");
    auto& container = root.Add<FakeContainerRoot>();
    container.diskManager = &disk;
    container.environment = &environment;
    container.documentManager = &manager;
    auto& paths = disk.Add<FakeDiskManager>();
    paths.splitName = OLESTR("Bericht Ä 1");
    paths.splitExtension = OLESTR(".SDD");
    paths.madePath = OLESTR("%WORKSPACE_FOLDER%\\Bericht Ä 1.SDD");
    environment.Add<FakeEnvironment>().expanded[paths.madePath] = OLESTR("/home/u/ws\\Bericht Ä 1.SDD");
    manager.Add<FakeDocumentManager>();
  }
  ISBDocumentRoot* Doc() const { return doc.As<ISBDocumentRoot>(); }
  ISBContainerRoot* Root() const { return root.As<ISBContainerRoot>(); }
};

}  // namespace documents_test
