// The processes the state lock's tests start, one role each:
//   hold LOCKFILE              takes the state lock, says "held", waits to be killed
//   temporary FOLDER           writes a temporary file there, says "held", waits to be killed
//   change PROJECT JOBID P N   makes N changes of each kind of state as process P; exits 0 when all were made
#include <chrono>
#include <cstdio>
#include <exception>
#include <string>
#include <thread>

#include "host/cfx_result.h"
#include "localhost/local_host.h"
#include "localhost/state_lock.h"
#include "support/child_process.h"

namespace zarnlocal {
namespace {

void Say(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

[[noreturn]] void HoldUntilKilled() {
  Say("held\n");
  for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
}

void Change(const std::string& folder, const std::string& id, int process, int changes) {
  const Project project = Project::Open(folder);
  const ServerJob job = project.OpenJob(id);
  JobRecord record(Server(project.ServerFolder()), id, project.Folder());
  ProjectView view(project.StateFolder());
  for (int c = 0; c < changes; ++c) {
    const std::string name = "f" + std::to_string(process * changes + c) + ".txt";
    view.SetHidden(name, true);
    view.Lock(name, "owner " + std::to_string(process));
    view.RecordView("view", name);
    job.SetProperty("p" + std::to_string(process) + "c" + std::to_string(c), "v");
    record.AddInput("In/" + name, folder + "/" + name);
  }
}

int Main(const std::vector<std::string>& arguments) {
  const std::string role = arguments.empty() ? "" : arguments[0];
  if (role == "hold" && arguments.size() == 2) {
    new StateLock(StateLock::Take(arguments[1]));  // never released: the kill must drop it
    HoldUntilKilled();
  }
  if (role == "temporary" && arguments.size() == 2) {
    auto* temporary = new TemporaryFile(arguments[1], "");  // left behind by the kill
    temporary->Write("part", 4, "x");
    HoldUntilKilled();
  }
  if (role == "change" && arguments.size() == 5) {
    Change(arguments[1], arguments[2], std::stoi(arguments[3]), std::stoi(arguments[4]));
    return 0;
  }
  std::fputs("usage: state_lock_child hold|temporary|change ...\n", stderr);
  return 2;
}

}  // namespace
}  // namespace zarnlocal

int main(int argc, char** argv) {
  try {
    return zarnlocal::Main(zarntest::ChildProgramStart(argc, argv));
  } catch (const CfxResult& failure) {
    std::fprintf(stderr, "failed: %s\n", failure.Description().c_str());
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "failed: %s\n", failure.what());
  }
  return 1;
}
