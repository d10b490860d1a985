#include "host/container_utils.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "cfx/call_tracer.h"
#include "fake_host/host.h"
#include "host/create.h"

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

// Writes what a tracer hears, with how many host calls the journal held at
// each moment, so a test can see which host calls fell inside a utility.
class RecordingTracer final : public CfxCallTracer {
 public:
  explicit RecordingTracer(const Host* host) : host_(host) { CfxSetCallTracer(this); }
  ~RecordingTracer() override { CfxSetCallTracer(nullptr); }
  void Entered() noexcept override { events.push_back("enter @" + Calls()); }
  void Left(const CfxTracedCall& call) noexcept override {
    std::string text = std::string(call.function) + "(";
    for (std::size_t i = 0; i < call.arguments.size(); ++i) {
      if (i > 0) text += ", ";
      text += std::visit(
          [](const auto& value) -> std::string {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, const IUnknown*>) {
              return value ? "object" : "null";
            } else if constexpr (std::is_same_v<T, std::string>) {
              return "\"" + value + "\"";
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
              return std::to_string(value);
            } else {
              return nsIDToString(value);
            }
          },
          call.arguments[i]);
    }
    char status[16];
    std::snprintf(status, sizeof status, "%08X", static_cast<unsigned>(call.status));
    events.push_back(text + ") -> " + status + " @" + Calls());
  }
  std::vector<std::string> events;

 private:
  std::string Calls() const { return host_ ? std::to_string(host_->Journal().size()) : "-"; }
  const Host* host_;
};

TEST(UtilityTrace, EachUtilityReportsItselfAroundItsOneHostCall) {
  const struct {
    std::string reported;
  } expected[] = {
      {"AppUtils::Container::GetDocumentManager(object)"},
      {"AppUtils::Container::GetDiskManager(object)"},
      {"AppUtils::Container::GetDocumentInfo(object)"},
      {"AppUtils::Container::FileExists(\"/p/model.def\", object)"},
      {"AppUtils::Container::CreateOperation(object, 3, \"op\")"},
      {"AppUtils::Document::RegenerateDisplay(object, object)"},
  };
  ASSERT_EQ(Utilities().size(), std::size(expected));
  for (std::size_t i = 0; i < Utilities().size(); ++i) {
    for (const HRESULT status : {S_OK, S_FALSE, E_ACCESSDENIED}) {
      Scene s;
      if (status != S_OK) s.host.FailCall(1, status);
      RecordingTracer tracer(&s.host);
      try {
        Utilities()[i].second(s.Root(), s.Doc());
      } catch (const CfxResult&) {
        EXPECT_LT(status, 0) << Utilities()[i].first;
      }
      char code[16];
      std::snprintf(code, sizeof code, "%08X", static_cast<unsigned>(status));
      EXPECT_EQ(tracer.events, (std::vector<std::string>{"enter @0", expected[i].reported + " -> " + code + " @1"}))
          << Utilities()[i].first << ": the host call falls between entering and leaving";
    }
  }
}

TEST(UtilityTrace, ANullObjectIsReportedWithTheNullDereferenceCode) {
  RecordingTracer tracer(nullptr);
  EXPECT_THROW(AppUtils::Container::GetDocumentManager(nullptr), CfxResult);
  EXPECT_EQ(tracer.events,
            (std::vector<std::string>{"enter @-", "AppUtils::Container::GetDocumentManager(null) -> 80004003 @-"}));
}

TEST(UtilityTrace, PathsAndObjectCreationReportToo) {
  RecordingTracer tracer(nullptr);
  std::string extension;
  EXPECT_TRUE(Paths::Extension("model.abc", extension));
  EXPECT_EQ(Paths::ReplaceExtension("model.abc", ".def"), "model.def");
  constexpr nsID kNoClass = nsIDFromText("{DEADBEEF-0000-0000-0000-000000000002}");
  void* made = nullptr;
  EXPECT_EQ(CfxCreateImpl(kNoClass, nullptr, CLSCTX_INPROC_SERVER, InterfaceIdOf<ISBFileUrl>, &made, 0).Code(),
            REGDB_E_CLASSNOTREG);
  EXPECT_THROW(CfxCreateImpl(kNoClass, nullptr, CLSCTX_INPROC_SERVER, InterfaceIdOf<ISBFileUrl>, &made, 1), CfxResult);
  const std::string create =
      "CfxCreateImpl({DEADBEEF-0000-0000-0000-000000000002}, null, 1, "
      "{1B9CE360-B200-483A-A319-AD51D5C39C1F}, ";
  EXPECT_EQ(tracer.events, (std::vector<std::string>{
                               "enter @-",
                               "Paths::Extension(\"model.abc\") -> 00000000 @-",
                               "enter @-",
                               "Paths::ReplaceExtension(\"model.abc\", \".def\") -> 00000000 @-",
                               "enter @-",
                               create + "0) -> 80040154 @-",
                               "enter @-",
                               create + "1) -> 80040154 @-",
                           }));
}

TEST(UtilityTrace, WithoutATracerNothingIsReported) {
  Scene s;
  RecordingTracer tracer(&s.host);
  CfxSetCallTracer(nullptr);
  AppUtils::Container::GetDocumentManager(s.Root());
  EXPECT_TRUE(tracer.events.empty());
  EXPECT_EQ(s.host.Journal().size(), 1u);
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
