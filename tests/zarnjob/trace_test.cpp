// --trace: what the library asks of the host, one line per call in call
// order, and the references left outstanding at the end.
#include <gtest/gtest.h>

#include <regex>

#include "zarnjob/zarnjob_fixture.h"

namespace zarnjobtest {
namespace {

using Lines = std::vector<std::string>;

// The trace lines of a run, without the closing reference count.
Lines CallsOf(const Outcome& outcome) {
  Lines calls;
  for (const std::string& line : outcome.ErrLines()) {
    if (line.starts_with("trace: ") && !line.starts_with("trace: references outstanding: ")) calls.push_back(line);
  }
  return calls;
}

TEST_F(Zarnjob, EveryTraceLineIsOneCallWithItsArgumentsAndStatusThenTheReferenceCount) {
  Put("R/a.txt", "a");
  const Outcome outcome = Run({"--trace", "import", "R/a.txt"});
  ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
  EXPECT_EQ(outcome.out, At("R/a.txt") + "\n") << "the trace goes to stderr only";
  EXPECT_EQ(CallsOf(outcome), (Lines{
                                  "trace: ISBContainerRoot.QueryInterface(ISBViewHost) -> 0x00000000",
                                  "trace: ISBContainerRoot.GetDocumentManager() -> 0x00000000",
                                  "trace: ISBDocumentManager.GetDocument(16, <" + UrlOf("R/a.txt") +
                                      ">, empty, empty, empty) -> 0x00000000",
                                  "trace: ISBDocumentRoot.QueryInterface(ISBLockable) -> 0x00000000",
                                  "trace: ISBLockable.Unlock(\"Corvane Server\") -> 0x00000001",
                                  "trace: AppUtils::Container::CreateOperation(<project " + Project() +
                                      ">, 3, \"Import live update document\") -> 0x00000000",
                                  "trace: AppUtils::Document::RegenerateDisplay(<document " + At("R/a.txt") +
                                      ">, <project " + Project() + ">) -> 0x00000000",
                                  "trace: ISBDocumentManager.SaveDocument(<document " + At("R/a.txt") +
                                      ">, 0, empty, empty, empty) -> 0x00000000",
                                  "trace: ISBViewHost.GetViewManager() -> 0x00000000",
                                  "trace: ISBDocumentRoot.Show(-1) -> 0x00000000",
                                  "trace: ISBDocumentRoot.QueryInterface(ISBLockable) -> 0x00000000",
                                  "trace: ISBLockable.Lock(\"Corvane Server\") -> 0x00000000",
                              }))
      << "the host calls inside a utility function (ISBContainerRoot.CreateOperation) are its own";
  EXPECT_EQ(outcome.ErrLines().back(), "trace: references outstanding: 0");
  EXPECT_EQ(outcome.ErrLines().size(), CallsOf(outcome).size() + 1);
}

TEST_F(Zarnjob, TheToolsOwnHostCallsAreNotTraced) {
  Put("R/a.txt", "a");
  // real-path finds the document itself (GetDocument) before it calls the library.
  const Lines calls = CallsOf(Run({"--trace", "real-path", "R/a.txt"}));
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front(), "trace: ISBDocumentRoot.QueryInterface(ISBDocumentStorage) -> 0x00000000");
  for (const std::string& call : calls) EXPECT_EQ(call.find("GetDocument("), std::string::npos) << call;

  const Lines created = CallsOf(Run({"--trace", "create-job", "Fit", "--text", "a \"b\"\n"}));
  ASSERT_FALSE(created.empty());
  EXPECT_EQ(created.front(),
            "trace: CfxCreateImpl({47376B53-F04A-422B-92BF-50B254AD15FA}, null, 21, ISBZarnServerJob, 0) -> 0x00000000")
      << "the factory's own report of the creation is left out";
  EXPECT_EQ(created.back(), "trace: ISBZarnServerJob.SetJobText(\"a \\\"b\\\"\\n\") -> 0x00000000")
      << "texts in double quotes with C escapes";
}

TEST_F(Zarnjob, AFailingCommandIsTracedUpToTheFailureAndReleasesEverything) {
  const Outcome outcome = Run({"--trace", "hide-dependent", "Nothing/"});
  EXPECT_EQ(outcome.exitCode, 1);
  const Lines lines = outcome.ErrLines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 3],
            "trace: ISBUrlServices.ListUrls(<" + UrlOf("Nothing/") + "?Recursive=No>) -> 0x80070002");
  EXPECT_EQ(lines[lines.size() - 2], "trace: references outstanding: 0");
  EXPECT_EQ(lines.back(), "error: 0x80070002: no such folder: " + At("Nothing"));
}

TEST_F(Zarnjob, WithoutTraceNothingButResultsIsWritten) {
  Put("R/a.txt", "a");
  const Outcome outcome = Run({"import", "R/a.txt"});
  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(outcome.err, "");
}

TEST_F(Zarnjob, EveryLineOfABusyTraceHasTheOneFormat) {
  Put("T.std", "t");
  Put("T Files/n.txt");
  Put(".zarn/filetypes", "mdl Demo.Model fit\n");
  Put("c.mdl");
  Put("c.fit");
  const std::regex call(R"(trace: [A-Za-z]+(::[A-Za-z]+)*(\.[A-Za-z]+)?\(.*\) -> 0x[0-9A-F]{8})");
  for (const Lines& command : {Lines{"hide-dependent", "./", "--recursive"}, Lines{"create-job", "F", "--input-folder"},
                               Lines{"stage", "1", "T.std", "--input", "--relative-to", "./"}}) {
    Lines traced = {"--trace"};
    traced.insert(traced.end(), command.begin(), command.end());
    const Outcome outcome = Run(traced);
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    const Lines lines = outcome.ErrLines();
    EXPECT_GT(lines.size(), 3u);
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_TRUE(std::regex_match(lines[i], call)) << lines[i];
    EXPECT_EQ(lines.back(), "trace: references outstanding: 0");
  }
}

}  // namespace
}  // namespace zarnjobtest
