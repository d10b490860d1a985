// The command line: usage errors exit 2 with the usage, help exits 0.
#include <gtest/gtest.h>

#include "zarn_version.h"
#include "zarnjob/zarnjob_fixture.h"

namespace zarnjobtest {
namespace {

const std::vector<std::string> kCommands = {
    "message", "unescape",       "read-template", "create-job", "documents-folder", "stage", "live start", "live stop",
    "run",     "client-url",     "download",      "import",     "refresh",          "lock",  "unlock",     "real-path",
    "hide",    "hide-dependent", "view",          "demo"};

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

TEST_F(Zarnjob, UsageErrorsExitTwoWithTheMessageAndTheUsage) {
  const struct {
    std::vector<std::string> arguments;
    std::string message;
    std::string usage;  // the usage line shown
  } cases[] = {
      {{}, "no command was given", "usage: zarnjob [--project DIR] [--server DIR] [--trace] COMMAND ..."},
      {{"bogus"}, "there is no command bogus", "COMMAND ..."},
      {{"--bogus", "view"}, "unknown option --bogus", "COMMAND ..."},
      {{"--project"}, "--project needs a value", "COMMAND ..."},
      {{"--trace=yes", "view"}, "--trace takes no value", "COMMAND ..."},
      {{"import"}, "import needs LOCATION", "import LOCATION [--open-view]"},
      {{"import", "a", "b"}, "import takes no argument 'b'", "import LOCATION [--open-view]"},
      {{"import", "a", "--recursive"}, "import has no option --recursive", "import LOCATION"},
      {{"download", "1", "/jobs/1/Documents/a"}, "download needs DEST", "download JOB SERVERFILE DEST"},
      {{"live"}, "live needs start or stop", "live start JOB"},
      {{"live", "pause", "1"}, "live needs start or stop", "live stop JOB"},
      {{"message", "12x"}, "ID is a whole number", "message ID"},
      {{"message", "2147483648"}, "ID is a whole number", "message ID"},
      {{"stage", "1", "T.std", "--relative-to"}, "--relative-to needs a value", "stage JOB STUDYTABLE"},
      {{"create-job", "T", "--text", "a", "--text", "b"}, "--text is given twice", "create-job TEMPLATE"},
      {{"view", "--open-view=x"}, "view has no option --open-view", "view"},
  };
  for (const auto& c : cases) {
    const Outcome outcome = Run(c.arguments);
    const std::string what = testing::PrintToString(c.arguments);
    EXPECT_EQ(outcome.exitCode, 2) << what;
    EXPECT_EQ(outcome.out, "") << what;
    EXPECT_EQ(outcome.err.rfind("zarnjob: " + c.message, 0), 0u) << what << "\n" << outcome.err;
    EXPECT_NE(outcome.err.find("usage: zarnjob"), std::string::npos) << what;
    EXPECT_NE(outcome.err.find(c.usage), std::string::npos) << what << "\n" << outcome.err;
  }
  EXPECT_EQ(Tree(), std::vector<std::string>{}) << "a usage error touches nothing";
}

TEST_F(Zarnjob, HelpOfTheToolListsEveryCommand) {
  for (const std::vector<std::string>& asked : {std::vector<std::string>{"--help"}, {"help"}}) {
    const Outcome outcome = Succeed(asked);
    EXPECT_EQ(outcome.out.rfind("usage: zarnjob [--project DIR] [--server DIR] [--trace] COMMAND ...\n", 0), 0u);
    for (const std::string& command : kCommands) {
      EXPECT_NE(outcome.out.find("\n  " + command + " "), std::string::npos) << command;
    }
  }
}

TEST_F(Zarnjob, VersionPrintsTheLibrarysVersionAndDoesNothingElse) {
  const Outcome outcome = Succeed({"--version"});
  EXPECT_EQ(outcome.out, std::string("zarnjob ") + ZARN_VERSION_STRING + "\n");
  EXPECT_STREQ(ZARN_VERSION_STRING, "1.0.0");
}

TEST_F(Zarnjob, EveryCommandHasItsHelp) {
  for (const std::string& command : kCommands) {
    std::vector<std::string> arguments = Words(command);
    arguments.push_back("--help");
    const Outcome outcome = Succeed(arguments);
    EXPECT_EQ(outcome.out.rfind("usage: zarnjob [--project DIR] [--server DIR] [--trace] " + command, 0), 0u)
        << outcome.out;
    EXPECT_GT(Outcome::Lines(outcome.out).size(), 2u) << command << ": a synopsis and what it does";
  }
  const Outcome live = Succeed({"help", "live"});
  EXPECT_NE(live.out.find("live start JOB"), std::string::npos);
  EXPECT_NE(live.out.find("live stop JOB"), std::string::npos);
}

}  // namespace
}  // namespace zarnjobtest
