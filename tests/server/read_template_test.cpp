// ReadTemplate against the fake host: host calls, line endings, long lines,
// and every failure path leaking nothing.
#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "fake_host/code_page.h"
#include "fake_host/raised.h"
#include "server/template_host.h"

namespace {

using fakehost::RaisedBy;
using servertest::TemplateHost;
using Lines = std::vector<std::string>;

const Lines kResolve{"root.ISBContainerRoot.GetUrlFactory()", R"(factory.ISBUrlFactory.CreateUrl("tpl"))",
                     "location.QueryInterface(ISBFileUrl)", "location.ISBFileUrl.GetFilePath()"};
const Lines kOpen{"stream.SetBinary(true)", R"(stream.Open(1, "/t/job.tpl"))", "stream.IsEOF()"};

Lines Joined(std::initializer_list<Lines> parts) {
  Lines all;
  for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST(ReadTemplate, ResolvesTheFileThenReadsItInBlocksAndClosesIt) {
  TemplateHost t;
  EXPECT_EQ(t.Read("a\nb\n"), "a\nb\n\n");
  EXPECT_EQ(t.host.Journal(), Joined({kResolve, kOpen, {"stream.Read(1000)", "stream.Read(1000)", "stream.Close()"}}));
  EXPECT_TRUE(t.host.Balanced());
}

TEST(ReadTemplate, ThePathTravelsInTheApplicationsCodePage) {
  // The file path goes through narrow text on its way to the stream: in
  // Windows-1252 it must come back as the same wide path.
  fakehost::CodePage windows1252(kCfxCodePageWindows1252);
  TemplateHost t;
  t.location.Get<fakehost::FakeFileUrl>().path = OLESTR("/t/j\u00F6b.tpl");
  t.host.AddFile(OLESTR("/t/j\u00F6b.tpl"), "a\n");
  EXPECT_EQ(AppUtils::Document::ReadTemplate("tpl", t.root.As<ISBContainerRoot>()), "a\n\n");
  EXPECT_EQ(t.host.Journal()[5], "stream.Open(1, \"/t/j\\xC3\\xB6b.tpl\")");
  EXPECT_TRUE(t.host.Balanced());
}

struct Case {
  const char* name;
  std::string bytes;
  std::string expected;
  std::vector<std::uint32_t> chunks = {};
  bool eofBeforeRead = true;
};

TEST(ReadTemplate, LineEndings) {
  const std::string x999(999, 'x');
  const std::string x997(997, 'x');
  const std::vector<Case> cases{
      {"each line gets an LF, a final terminator one more empty line", "a\nb\n", "a\nb\n\n"},
      {"empty file, end reported at once", "", "\n"},
      {"empty file, end found by the first read", "", "", {}, false},
      {"CR LF is one terminator", "a\r\nb", "a\nb\n"},
      {"lone CR", "a\rb", "a\nb\n"},
      {"zero byte", std::string("a\0b", 3), "a\nb\n"},
      {"LF CR is two", "a\n\rb", "a\n\nb\n"},
      {"last line moved to the buffer start", "x\nyz", "x\nyz\n"},
      {"a file that is one line without terminator", "abc", "abc\n"},
      {"ending in a lone CR adds no empty line", "a\r", "a\n"},
      {"ending in CR LF", "a\r\n", "a\n\n"},
      {"ending in a zero byte", std::string("a\0", 2), "a\n\n"},
      {"999-byte line", x999 + "\nb", x999 + "\nb\n"},
      {"999-byte line without terminator", x999, x999 + "\n"},
      {"1000-byte line", std::string(1000, 'x') + "\nb", std::string(1000, 'x') + "\nb\n"},
      {"5000-byte line comes back whole", std::string(5000, 'x'), std::string(5000, 'x') + "\n"},
      {"CR ends the buffered data, LF in the next block", "a\n" + x997 + "\r\nb", "a\n" + x997 + "\nb\n"},
      {"CR ends a short read, LF in the next one", "ab\r\nc", "ab\nc\n", {3}},
      {"CR fills the buffer, LF follows", x999 + "\r\nb", x999 + "\nb\n"},
      {"CR fills the buffer, the LF comes alone", x999 + "\r\nb", x999 + "\nb\n", {1000, 1}},
      {"CR fills the buffer, a line follows", x999 + "\rb", x999 + "\nb\n"},
      {"CR fills the buffer and ends the file", x999 + "\r", x999 + "\n"},
      {"CR LF after a full buffer ends the file", x999 + "\r\n", x999 + "\n\n"},
      {"CR fills the buffer after a 1000-byte piece", std::string(1999, 'x') + "\r\nb",
       std::string(1999, 'x') + "\nb\n"},
  };
  for (const Case& c : cases) {
    TemplateHost t;
    EXPECT_EQ(t.Read(c.bytes, c.chunks, c.eofBeforeRead), c.expected) << c.name;
    EXPECT_TRUE(t.host.Balanced()) << c.name;
  }
}

TEST(ReadTemplate, ALineCutByTheBlockEndIsMovedToTheStartAndTheRestReadBehindIt) {
  TemplateHost t;
  const std::string x997(997, 'x');
  EXPECT_EQ(t.Read("a\n" + x997 + "\r\nb"), "a\n" + x997 + "\nb\n");
  // 998 bytes (the line and its terminator) are kept, so the next read asks for 2.
  EXPECT_EQ(t.host.Journal(),
            Joined({kResolve, kOpen, {"stream.Read(1000)", "stream.Read(2)", "stream.Read(999)", "stream.Close()"}}));
  EXPECT_TRUE(t.host.Balanced());
}

TEST(ReadTemplate, ACrThatFillsTheBufferNeverAsksForZeroBytes) {
  TemplateHost t;
  EXPECT_EQ(t.Read(std::string(999, 'x') + "\r\nb"), std::string(999, 'x') + "\nb\n");
  EXPECT_EQ(
      t.host.Journal(),
      Joined({kResolve, kOpen, {"stream.Read(1000)", "stream.Read(1000)", "stream.Read(999)", "stream.Close()"}}));
  EXPECT_TRUE(t.host.Balanced());
}

TEST(ReadTemplate, ANullContainerRaisesTheNullCheckWithoutAHostCall) {
  TemplateHost t;
  EXPECT_EQ(RaisedBy([] { AppUtils::Document::ReadTemplate("tpl", nullptr); }).Code(), E_POINTER);
  EXPECT_TRUE(t.host.Journal().empty());
  EXPECT_TRUE(t.host.Balanced());
}

TEST(ReadTemplate, AMissingFactoryOrLocationRaisesTheNullCheckAndStops) {
  {
    TemplateHost t;
    t.root.Get<fakehost::FakeContainerRoot>().urlFactory = nullptr;
    EXPECT_EQ(RaisedBy([&] { t.Read("a"); }).Code(), E_POINTER);
    EXPECT_EQ(t.host.Journal(), Lines{"root.ISBContainerRoot.GetUrlFactory()"});
    EXPECT_TRUE(t.host.Balanced());
  }
  {
    TemplateHost t;
    t.factory.Get<fakehost::FakeUrlFactory>().urls.clear();
    EXPECT_EQ(RaisedBy([&] { t.Read("a"); }).Code(), E_POINTER);
    EXPECT_EQ(t.host.Journal(), (Lines{kResolve[0], kResolve[1]}));
    EXPECT_TRUE(t.host.Balanced());
  }
}

TEST(ReadTemplate, ALocationWithoutFileViewRaisesTheQueryFailure) {
  TemplateHost t;
  auto& folder = t.host.Make("folder");
  folder.Add<fakehost::FakeUrl>();
  t.factory.Get<fakehost::FakeUrlFactory>().urls[OLESTR("tpl")] = &folder;
  const CfxResult result = RaisedBy([&] { t.Read("a"); });
  EXPECT_EQ(result.Code(), E_NOINTERFACE);
  EXPECT_EQ(result.Description(), QueryInterfaceFailure(E_NOINTERFACE, InterfaceIdOf<ISBFileUrl>).Description());
  EXPECT_EQ(t.host.Journal(), (Lines{kResolve[0], kResolve[1], "folder.QueryInterface(ISBFileUrl)"}));
  EXPECT_TRUE(t.host.Balanced());
}

TEST(ReadTemplate, HostFailuresRaiseAndLaterCallsAreNotMade) {
  // A failing host operation ends the call; the file is opened only after
  // GetFilePath succeeded.
  for (std::size_t failing = 0; failing < kResolve.size(); ++failing) {
    if (failing == 2) continue;  // the query: see above
    TemplateHost t;
    t.host.FailCall(static_cast<int>(failing) + 1, E_ACCESSDENIED);
    EXPECT_EQ(RaisedBy([&] { t.Read("a"); }).Code(), E_ACCESSDENIED) << kResolve[failing];
    EXPECT_EQ(t.host.Journal(), Lines(kResolve.begin(), kResolve.begin() + static_cast<long>(failing) + 1));
    EXPECT_TRUE(t.host.Balanced()) << kResolve[failing];
  }
}

TEST(ReadTemplate, StreamFailuresReachTheCallerAndTheStreamIsStillClosed) {
  {
    TemplateHost t;
    t.host.AddFile(OLESTR("/t/other"), "a");
    const CfxResult result = RaisedBy([&] { AppUtils::Document::ReadTemplate("tpl", t.root.As<ISBContainerRoot>()); });
    EXPECT_EQ(result.Code(), E_FILE_NOT_FOUND);
    EXPECT_EQ(t.host.Journal(),
              Joined({kResolve, {"stream.SetBinary(true)", R"(stream.Open(1, "/t/job.tpl"))", "stream.Close()"}}));
    EXPECT_TRUE(t.host.Balanced());
  }
  {
    TemplateHost t;
    t.host.FailOp("stream.Read", 2, E_READ_FAULT);
    EXPECT_EQ(RaisedBy([&] { t.Read("a\nb", {2}); }).Code(), E_READ_FAULT);
    EXPECT_EQ(t.host.Journal(),
              Joined({kResolve, kOpen, {"stream.Read(1000)", "stream.Read(1000)", "stream.Close()"}}));
    EXPECT_TRUE(t.host.Balanced());
  }
}

TEST(ReadTemplate, AFailingCloseIsIgnored) {
  TemplateHost t;
  t.host.FailOp("stream.Close", 0, E_FAIL);
  EXPECT_EQ(t.Read("a\nb"), "a\nb\n");
  EXPECT_EQ(t.host.Journal().back(), "stream.Close()");
  EXPECT_TRUE(t.host.Balanced());
}

TEST(ReadTemplate, AFailingStringAllocationRaisesOutOfMemoryAndLeaksNothing) {
  TemplateHost t;
  t.host.FailAllocation(1);
  EXPECT_THROW(t.Read("a"), std::bad_alloc);
  EXPECT_EQ(t.host.Journal(), Lines{"root.ISBContainerRoot.GetUrlFactory()"});
  EXPECT_TRUE(t.host.Balanced());
}

TEST(ReadTemplate, EveryFailingCallRaisesItAndLeaksNothing) {
  int calls = 0;
  {
    TemplateHost probe;
    probe.Read("a\nb");
    calls = probe.host.CallCount();
    ASSERT_EQ(probe.host.Journal().back(), "stream.Close()");
  }
  for (int n = 1; n <= calls; ++n) {
    TemplateHost t;
    t.host.FailCall(n, E_FAIL);
    bool raised = false;
    try {
      t.Read("a\nb");
    } catch (const CfxResult& result) {
      raised = true;
      EXPECT_EQ(result.Code(), E_FAIL) << "call " << n;
    }
    EXPECT_EQ(raised, n != calls) << "call " << n << " (only the failing Close is dropped)";
    EXPECT_TRUE(t.host.Balanced()) << "call " << n;
  }
}

}  // namespace
