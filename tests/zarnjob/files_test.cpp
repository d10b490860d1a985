// What travels and what is listed: results that never collide, special
// files refused at once, folders refreshed document by document, listings
// that go past a bad entry, names printed unambiguously, and the host's own
// folders kept out of the documents.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <future>
#include <string_view>
#include <utility>

#include "support/child_process.h"
#include "support/file_system.h"
#include "support/links.h"
#include "zarnjob/zarnjob_fixture.h"

namespace zarnjobtest {
namespace {

using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

class Files : public Zarnjob {
 protected:
  // Runs a command that must end by itself within a few seconds; one that
  // hangs is killed and fails the test.
  Outcome RunBounded(const Lines& command) {
    std::unique_ptr<Started> started = Start(command);
    std::future<Outcome> outcome = std::async(std::launch::async, [&] { return started->Wait(); });
    if (outcome.wait_for(std::chrono::seconds(20)) == std::future_status::timeout) {
      started->Kill();
      ADD_FAILURE() << testing::PrintToString(command) << " hung";
    }
    return outcome.get();
  }
  void ExpectFailure(const Outcome& outcome, const std::string& start, const std::string& part) {
    EXPECT_EQ(outcome.exitCode, 1) << outcome.err;
    EXPECT_EQ(outcome.err.rfind(start, 0), 0u) << outcome.err;
    EXPECT_NE(outcome.err.find(part), std::string::npos) << outcome.err;
  }
  std::string Result(const std::string& name) const {
    return zarntest::Read(ServerFile("/jobs/1/Documents/Results/" + name)).value_or("(none)");
  }
};

TEST_F(Files, EveryInputHasAResultOfItsOwnAndNoneTakesTheSummarysPlace) {
  Put("A/t.std", "a\n");
  Put("B/t.std", "b\nb\n");
  Put("summary", "s");
  EXPECT_EQ(Succeed({"create-job", "Fit"}).out, "1\n");
  Succeed({"stage", "1", "A/t.std", "--relative-to", "./"});
  Succeed({"stage", "1", "B/t.std", "--relative-to", "./"});
  Succeed({"stage", "1", "summary"});
  EXPECT_EQ(Succeed({"run", "1"}).OutLines(),
            (Lines{"/jobs/1/Documents/Results/inputs/A/t.std.txt", "/jobs/1/Documents/Results/inputs/B/t.std.txt",
                   "/jobs/1/Documents/Results/inputs/summary.txt", "/jobs/1/Documents/Results/summary.txt"}));
  EXPECT_EQ(Result("inputs/A/t.std.txt"), "Result of A/t.std\njob: 1\nbytes: 2\nlines: 1\n");
  EXPECT_EQ(Result("inputs/B/t.std.txt"), "Result of B/t.std\njob: 1\nbytes: 4\nlines: 2\n");
  EXPECT_EQ(Result("inputs/summary.txt"), "Result of summary\njob: 1\nbytes: 1\nlines: 1\n");
  EXPECT_EQ(Result("summary.txt"), "Job 1\ntext: \ninput: A/t.std\ninput: B/t.std\ninput: summary\n");

  // The results' folder is the server's: an input may not be put there.
  Put("Results/summary.txt", "mine");
  ExpectFailure(Run({"stage", "1", "Results/summary.txt", "--relative-to", "./"}),
                "error: 0x80070057: ", "Results/summary.txt");
  EXPECT_EQ(Result("summary.txt"), "Job 1\ntext: \ninput: A/t.std\ninput: B/t.std\ninput: summary\n");
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;  // a sanitizer reserves far more address space than a limit allows
#elif defined(__has_feature)
constexpr bool kSanitized = __has_feature(address_sanitizer) || __has_feature(thread_sanitizer);
#else
constexpr bool kSanitized = false;
#endif

TEST_F(Files, RunReadsAnInputOfAnySizeInLittleMemory) {
  if (kSanitized) GTEST_SKIP() << "the address space of a sanitized build cannot be limited";
  if (const auto why = zarntest::AddressSpaceLimitUnsupported()) GTEST_SKIP() << *why;
  Put("T.std", "row\n");
  EXPECT_EQ(Succeed({"create-job", "Fit"}).out, "1\n");
  Succeed({"stage", "1", "T.std"});
  // 512 MiB that take no room on disk, read with 256 MiB of address space.
  fs::resize_file(zarntest::FsPath(ServerFile("/jobs/1/Documents/T.std")), 512 << 20);
  RunOptions options;
  options.workingFolder = Project();
  options.addressSpace = 256 << 20;
  const Outcome ran = RunZarnjob({"run", "1"}, options);
  EXPECT_EQ(ran.exitCode, 0) << ran.err;
  EXPECT_EQ(Result("inputs/T.std.txt"), "Result of T.std\njob: 1\nbytes: 536870912\nlines: 2\n");
}

TEST_F(Files, SpecialFilesAreRefusedAtOnceWithTheirPath) {
  if (const auto why = zarntest::SpecialFilesUnsupported()) GTEST_SKIP() << *why;
  if (const auto why = zarntest::LinksUnsupported()) GTEST_SKIP() << *why;
  Put("T/T.std", "row\n");
  Put("T/T Files/a.txt", "a");
  zarntest::MakeFifo(At("T/T Files/pipe"));
  EXPECT_EQ(Succeed({"create-job", "Fit"}).out, "1\n");
  ExpectFailure(RunBounded({"stage", "1", "T/T.std"}), "error: 0x80070005: refused: ", At("T/T Files/pipe"));

  // A device, reached through a link in the companion folder (links you
  // place are followed).
  ASSERT_TRUE(fs::remove(zarntest::FsPath(At("T/T Files/pipe"))));
  zarntest::MakeLink(zarntest::DeviceFile(), At("T/T Files/device"));
  ExpectFailure(RunBounded({"stage", "1", "T/T.std"}), "error: 0x80070005: refused: ", At("T/T Files/device"));
  ASSERT_TRUE(fs::remove(zarntest::FsPath(At("T/T Files/device"))));

  // The table itself, and an input that became a FIFO on the server.
  zarntest::MakeFifo(At("T/P.std"));
  ExpectFailure(RunBounded({"stage", "1", "T/P.std"}), "error: 0x80070005: refused: ", At("T/P.std"));
  ExpectFailure(RunBounded({"import", "T/P.std"}), "error: 0x80070005: refused: ", At("T/P.std"));
  Succeed({"stage", "1", "T/T.std"});
  const std::string input = ServerFile("/jobs/1/Documents/T.std");
  ASSERT_TRUE(fs::remove(zarntest::FsPath(input)));
  zarntest::MakeFifo(input);
  ExpectFailure(RunBounded({"run", "1"}), "error: 0x80070005: refused: ", input);
  ExpectFailure(RunBounded({"download", "1", "/jobs/1/Documents/T.std", "got.std"}), "error: ", input);
  EXPECT_FALSE(Read("got.std"));
}

TEST_F(Files, RefreshOfAFolderRefreshesItsDocumentsAndImportOfAFolderStillFails) {
  Put("Tables/a.std", "a");
  Put("Tables/Sub/b.std", "b");
  Put("Tables/z.std", "z");
  Succeed({"lock", "Tables/"});
  Succeed({"lock", "Tables/Sub/"});
  EXPECT_EQ(Succeed({"refresh", "Tables/"}).out, "");
  EXPECT_EQ(
      Succeed({"view"}).OutLines(),
      (Lines{"Tables/", "Tables/Sub/", "Tables/Sub/b.std [locked by Corvane Server]", "Tables/a.std", "Tables/z.std"}));
  EXPECT_EQ(Succeed({"refresh", "Tables/", "--recursive"}).out, "");
  EXPECT_EQ(Succeed({"view"}).OutLines(),
            (Lines{"Tables/", "Tables/Sub/", "Tables/Sub/b.std", "Tables/a.std", "Tables/z.std"}));
  ExpectFailure(Run({"import", "Tables/Sub/"}), "error: 0x80070057: no document to import at " + At("Tables/Sub"),
                "it is a folder");
}

TEST_F(Files, ViewPrintsEveryNameUnambiguously) {
  // Each entry as the view prints it, in its order; a name that files cannot
  // have on this platform is left out.
  const std::pair<std::string, std::string> entries[] = {
      {" lead.txt", "\" lead.txt\""},
      {"#notes", "\"#notes\""},
      {"a\nb", "\"a\\nb\""},
      {"plain name.txt", "plain name.txt [hidden]"},
      {"tab\there/", "\"tab\\there/\""},
      {"tab\there/in \"quotes\"\\", "\"tab\\there/in \\\"quotes\\\"\\\\\""},
      {"trailing ", "\"trailing \""},
      {"x [hidden]", "\"x [hidden]\""},
  };
  Lines expected;
  for (const auto& [path, shown] : entries) {
    bool allowed = true;
    for (std::size_t at = 0, slash; at < path.size(); at = slash + 1) {
      slash = std::min(path.find('/', at), path.size());
      allowed = allowed && zarntest::FileNameAllowed(std::string_view(path).substr(at, slash - at));
    }
    if (!allowed) continue;
    Put(path);
    expected.push_back(shown);
  }
  Succeed({"hide", "plain name.txt"});
  EXPECT_EQ(Succeed({"view"}).OutLines(), expected);
}

TEST_F(Files, ListingsGoPastAPathTooLongAndSayWhatTheyLeftOut) {
  if (const auto why = zarntest::TooLongPathsUnsupported()) GTEST_SKIP() << *why;
  Put("a.txt");
  Put("deep/");
  Put("z/b.def");
  Put("z/b.abc");
  Put(".zarn/filetypes", "abc Acme.Model def\n");
  // The temporary folder's own removal cannot reach so deep: RemoveTooDeep can.
  struct Cleanup {
    std::string base;
    ~Cleanup() { zarntest::RemoveTooDeep(base); }
  } cleanup{At("deep")};
  const std::string deepest = zarntest::MakeTooDeep(At("deep"));
  const Outcome view = Run({"view"});
  EXPECT_EQ(view.exitCode, 1);
  const Lines lines = view.OutLines();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines.front(), "a.txt");
  EXPECT_EQ(Lines(lines.end() - 3, lines.end()), (Lines{"z/", "z/b.abc", "z/b.def"}));
  EXPECT_NE(view.err.find(deepest.substr(0, zarntest::PathLimit() - 300)), std::string::npos) << view.err;

  const Outcome dependent = Run({"hide-dependent", "./", "--recursive"});
  EXPECT_EQ(dependent.exitCode, 1);
  EXPECT_NE(dependent.err.find("too long"), std::string::npos) << dependent.err;
  const Outcome hide = Run({"hide", "file:" + Project() + "/?Recursive=Yes"});
  EXPECT_EQ(hide.exitCode, 1);
  EXPECT_NE(hide.err.find("too long"), std::string::npos) << hide.err;
  const Lines after = Run({"view"}).OutLines();
  EXPECT_EQ(Lines(after.end() - 3, after.end()), (Lines{"z/ [hidden]", "z/b.abc [hidden]", "z/b.def [hidden]"}));
  EXPECT_EQ(after.front(), "a.txt [hidden]");
}

TEST_F(Files, AnUnreadableFolderIsSkippedAndNamed) {
  if (const auto why = zarntest::UnreadableFoldersUnsupported()) GTEST_SKIP() << *why;
  Put("a.txt");
  Put("locked/secret.txt");
  Put("z.txt");
  zarntest::SetFolderReadable(At("locked"), false);
  const Outcome view = Run({"view"});
  zarntest::SetFolderReadable(At("locked"), true);
  EXPECT_EQ(view.exitCode, 1);
  EXPECT_EQ(view.OutLines(), (Lines{"a.txt", "locked/", "z.txt"}));
  EXPECT_NE(view.err.find(At("locked")), std::string::npos) << view.err;
}

TEST_F(Files, TheHostsOwnFoldersAreNeverDocuments) {
  Put("a.txt", "a");
  Put("srv/");
  Put("ws/");
  Put(".zarn/config", "workspace = ws\n");
  Put(".zarn/hidden", "");
  // Where links can be made, a link of the user's own to .zarn/ is listed but
  // what lies behind it is refused all the same.
  const bool linked = !zarntest::LinksUnsupported();
  if (linked) zarntest::MakeFolderLink(".zarn", At("inside"));
  const auto withLink = [&](Lines lines, const std::string& line) {
    if (linked) lines.push_back(line);
    return lines;
  };
  const Lines server = {"--server", "srv"};
  auto with = [&](Lines command) {
    command.insert(command.begin(), server.begin(), server.end());
    return command;
  };
  EXPECT_EQ(Succeed(with({"create-job", "Fit"})).out, "1\n");
  EXPECT_EQ(Succeed(with({"view"})).OutLines(), withLink({"Jobs/", "Jobs/1/", "a.txt"}, "inside/"));
  std::vector<Lines> refused = {{"lock", ".zarn/"},       {"lock", ".zarn/hidden"}, {"import", ".zarn/hidden"},
                                {"hide", ".zarn/hidden"}, {"lock", "srv/"},         {"hide", "srv/"},
                                {"import", "ws/x.txt"},   {"refresh", "srv/"}};
  if (linked) refused.push_back({"lock", "inside/hidden"});
  for (const Lines& command : refused) {
    Put("ws/x.txt", "x");
    const Outcome outcome = Run(with(command));
    EXPECT_EQ(outcome.exitCode, 1) << testing::PrintToString(command);
    EXPECT_NE(outcome.err.find("refused: "), std::string::npos) << outcome.err;
  }
  Succeed(with({"lock", "./"}));
  Succeed(with({"hide", "file:" + Project() + "/?Recursive=Yes"}));
  EXPECT_EQ(Succeed(with({"view"})).OutLines(),
            withLink({"Jobs/ [hidden]", "Jobs/1/ [hidden]", "a.txt [hidden] [locked by Corvane Server]"},
                     "inside/ [hidden]"));
}

}  // namespace
}  // namespace zarnjobtest
