// End-to-end tests of zarnjob: the real executable over the local host, in a
// temporary project folder (whose path has a blank, '%', '#' and 'ü'),
// checked by exit code, output and what is on disk.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "localhost/location.h"
#include "localhost/temp_folder.h"
#include "zarnjob/run_zarnjob.h"

namespace zarnjobtest {

class Zarnjob : public ::testing::Test {
 protected:
  // Runs zarnjob in the project folder.
  Outcome Run(const std::vector<std::string>& arguments) {
    RunOptions options;
    options.workingFolder = project_.Path();
    return RunZarnjob(arguments, options);
  }
  // Starts zarnjob in the project folder without waiting for it.
  std::unique_ptr<Started> Start(const std::vector<std::string>& arguments,
                                 std::vector<std::pair<std::string, std::string>> environment = {}) {
    RunOptions options;
    options.workingFolder = project_.Path();
    options.environment = std::move(environment);
    return std::make_unique<Started>(arguments, options);
  }
  // The same, and expects it to succeed without a word on stderr.
  Outcome Succeed(const std::vector<std::string>& arguments) {
    Outcome outcome = Run(arguments);
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(outcome.err, "");
    return outcome;
  }

  const std::string& Project() const { return project_.Path(); }
  std::string At(const std::string& relative) const { return project_ / relative; }
  void Put(const std::string& relative, const std::string& bytes = "") { zarntest::Put(At(relative), bytes); }
  std::optional<std::string> Read(const std::string& relative) const { return zarntest::Read(At(relative)); }
  std::vector<std::string> Tree(const std::string& relative = ".") const { return zarntest::Tree(At(relative)); }
  // The host's URL text of a project path ("file:/p/a.txt"; on Windows
  // "file:///C:/p/a.txt", escaped), as traces show it.
  std::string UrlOf(const std::string& relative) const {
    return zarnlocal::Location::FromPath(At(relative), Project()).Text();
  }
  // The file of a server path of the project's own server.
  std::string ServerFile(const std::string& serverPath) const { return At(".zarn/server" + serverPath); }

 private:
  zarntest::TempFolder project_;
};

}  // namespace zarnjobtest
