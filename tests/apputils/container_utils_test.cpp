#include "host/container_utils.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fake_host/host.h"

namespace {

using namespace fakehost;

// A container with everything the utilities reach through it.
struct Scene {
  Host host;
  Object& root = host.Make("root");
  Object& manager = host.Make("manager");
  Object& disk = host.Make("disk");
  Object& doc = host.Make("doc");
  Object& info = host.Make("info");
  Object& operation = host.Make("operation");

  Scene() {
    auto& container = root.Add<FakeContainerRoot>();
    manager.Add<FakeDocumentManager>();
    disk.Add<FakeDiskManager>();
    info.Add<FakeDocumentInfo>();
    operation.Add<FakeUnknown>();
    container.documentManager = &manager;
    container.diskManager = &disk;
    container.operation = &operation;
    container.existingFiles = {"/p/model.def"};
    doc.Add<FakeDocumentRoot>().info = &info;
  }
  ISBContainerRoot* Root() { return root.As<ISBContainerRoot>(); }
  ISBDocumentRoot* Doc() { return doc.As<ISBDocumentRoot>(); }
};

TEST(ContainerUtils, EachUtilityIsAHostCallThatGivesTheHostsAnswer) {
  Scene s;
  {
    EXPECT_EQ(AppUtils::Container::GetDocumentManager(s.Root()).get(), s.manager.As<ISBDocumentManager>());
    EXPECT_EQ(AppUtils::Container::GetDiskManager(s.Root()).get(), s.disk.As<ISBDiskManager>());
    EXPECT_EQ(AppUtils::Container::GetDocumentInfo(s.Doc()).get(), s.info.As<ISBDocumentInfo>());
    EXPECT_TRUE(AppUtils::Container::FileExists("/p/model.def", s.Root()));
    EXPECT_FALSE(AppUtils::Container::FileExists("/p/model.ghi", s.Root()));
    auto operation = AppUtils::Container::CreateOperation(s.Root(), 3, "Import live update document");
    EXPECT_EQ(s.operation.Refs(), 2);
    AppUtils::Document::RegenerateDisplay(s.Doc(), s.Root());
  }
  EXPECT_EQ(s.host.Journal(), (std::vector<std::string>{
                                  "root.ISBContainerRoot.GetDocumentManager()",
                                  "root.ISBContainerRoot.GetDiskManager()",
                                  "doc.ISBDocumentRoot.GetDocumentInfo()",
                                  "root.ISBContainerRoot.FileExists(\"/p/model.def\")",
                                  "root.ISBContainerRoot.FileExists(\"/p/model.ghi\")",
                                  "root.ISBContainerRoot.CreateOperation(3, \"Import live update document\")",
                                  "doc.ISBDocumentRoot.RegenerateDisplay(root)",
                              }));
  EXPECT_TRUE(s.host.Balanced());
}

// Every utility, called once; for the failure and null cases below.
const std::vector<std::pair<std::string, std::function<void(ISBContainerRoot*, ISBDocumentRoot*)>>>& Utilities() {
  static const std::vector<std::pair<std::string, std::function<void(ISBContainerRoot*, ISBDocumentRoot*)>>> all = {
      {"GetDocumentManager", [](auto* root, auto*) { AppUtils::Container::GetDocumentManager(root); }},
      {"GetDiskManager", [](auto* root, auto*) { AppUtils::Container::GetDiskManager(root); }},
      {"GetDocumentInfo", [](auto*, auto* doc) { AppUtils::Container::GetDocumentInfo(doc); }},
      {"FileExists", [](auto* root, auto*) { AppUtils::Container::FileExists("/p/model.def", root); }},
      {"CreateOperation", [](auto* root, auto*) { AppUtils::Container::CreateOperation(root, 3, "op"); }},
      {"RegenerateDisplay", [](auto* root, auto* doc) { AppUtils::Document::RegenerateDisplay(doc, root); }},
  };
  return all;
}

TEST(ContainerUtils, AFailingHostCallRaisesTheHostsLastError) {
  for (const auto& [name, call] : Utilities()) {
    Scene s;
    s.host.FailCall(1, E_ACCESSDENIED);
    try {
      call(s.Root(), s.Doc());
      ADD_FAILURE() << name << " did not raise";
    } catch (const CfxResult& result) {
      EXPECT_EQ(result.Code(), E_ACCESSDENIED) << name;
      EXPECT_EQ(CfxResult::LastErrorCheckNotS_OK().Code(), E_ACCESSDENIED) << name;
    }
    EXPECT_EQ(s.host.Journal().size(), 1u) << name;
    EXPECT_TRUE(s.host.Balanced()) << name;
  }
}

TEST(ContainerUtils, APositiveStatusIsStoredAndNotRaised) {
  for (const auto& [name, call] : Utilities()) {
    Scene s;
    CfxResult::SetLastError(E_FAIL);
    s.host.FailCall(1, S_FALSE);
    EXPECT_NO_THROW(call(s.Root(), s.Doc())) << name;
    EXPECT_EQ(CfxResult::LastErrorCheckNotS_OK().Code(), S_FALSE) << name;
    EXPECT_TRUE(s.host.Balanced()) << name;
  }
}

TEST(ContainerUtils, ANullObjectRaisesTheNullDereferenceResultAndAsksNothing) {
  for (const auto& [name, call] : Utilities()) {
    Scene s;
    try {
      call(nullptr, nullptr);
      ADD_FAILURE() << name << " accepted a null object";
    } catch (const CfxResult& result) {
      EXPECT_EQ(result.Code(), E_POINTER) << name;
    }
    EXPECT_TRUE(s.host.Journal().empty()) << name;
  }
}

TEST(PathUtils, TheHostSeesAndCanFailEachCall) {
  Host host;
  std::string extension;
  EXPECT_TRUE(Paths::Extension("model.abc", extension));
  EXPECT_EQ(extension, ".abc");
  EXPECT_EQ(Paths::ReplaceExtension("model.abc", ".def"), "model.def");
  EXPECT_EQ(host.Journal(), (std::vector<std::string>{"Paths::Extension(\"model.abc\")",
                                                      "Paths::ReplaceExtension(\"model.abc\", \".def\")"}));
  host.FailOp("Paths::ReplaceExtension", 1, E_FAIL);
  EXPECT_THROW(Paths::ReplaceExtension("model.abc", ".def"), CfxResult);
}

}  // namespace
