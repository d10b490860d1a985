// The local reference host at project scale: hide, lock, unlock, refresh
// and view of a folder of 1 000, 10 000 and 100 000 files, each run as
// zarnjob runs it (the project opened afresh, then the library's export).
// The time per entry should not grow with the number of files.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ZarnServerJobUtils.h"
#include "benches.h"
#include "host/com_ptr.h"
#include "localhost/local_host.h"
#include "project_listing.h"

namespace zarnbench {
namespace {

namespace fs = std::filesystem;

// A project whose folder F/ holds `files` files, made once per size.
class FilesProject {
 public:
  explicit FilesProject(std::size_t files) : files_(files) {
    std::string pattern = (fs::temp_directory_path() / "zarn-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    folder_ = pattern;
    fs::create_directories(folder_ + "/F");
    for (std::size_t i = 0; i < files; ++i) std::ofstream(folder_ + "/F/file " + std::to_string(i) + ".txt") << "x";
  }
  FilesProject(const FilesProject&) = delete;
  FilesProject& operator=(const FilesProject&) = delete;
  ~FilesProject() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  std::size_t Files() const { return files_; }
  zarnlocal::Project Open() const { return zarnlocal::Project::Open(folder_); }
  // Forgets the project view's state, as a fresh project has none.
  void Clear() const {
    for (const char* file : {"hidden", "locks", "views"}) fs::remove(folder_ + "/.zarn/" + file);
  }

 private:
  std::size_t files_;
  std::string folder_;
};

// Made on first use and removed when the benchmarks end.
const FilesProject& ProjectOf(std::size_t files) {
  static std::map<std::size_t, std::unique_ptr<FilesProject>> projects;
  auto& made = projects[files];
  if (!made) made = std::make_unique<FilesProject>(files);
  return *made;
}

void Hide(const zarnlocal::Project& project) {
  const CfxComPtr<ISBUrl> folder = project.Url("F/");
  const CfxComPtr<ISBContainerRoot> root = project.Container();
  AppUtils::Document::HideFiles(folder.get(), root.get());
}
void SetLock(const zarnlocal::Project& project, bool lock) {
  const CfxComPtr<ISBUrl> folder = project.Url("F/");
  const CfxComPtr<ISBContainerRoot> root = project.Container();
  AppUtils::Document::SetDocumentLock(folder.get(), lock, root.get());
}
void Lock(const zarnlocal::Project& project) { SetLock(project, true); }
void Unlock(const zarnlocal::Project& project) { SetLock(project, false); }
void Refresh(const zarnlocal::Project& project) {
  const CfxComPtr<ISBUrl> folder = project.Url("F/");
  const CfxComPtr<ISBContainerRoot> root = project.Container();
  AppUtils::Document::RefreshResults(folder.get(), false, root.get());
}
std::size_t viewLines = 0;
void View(const zarnlocal::Project& project) {
  std::vector<std::string> problems;
  viewLines = zarnjob::ProjectViewLines(project, problems).size();
  if (!problems.empty()) viewLines = 0;  // a listing that left entries out is no view of them all
}

struct Command {
  const char* name;
  void (*run)(const zarnlocal::Project&);
  void (*before)(const zarnlocal::Project&);  // untimed: the state the command starts from
  bool (*done)(const zarnlocal::Project&, std::size_t files);
};

const Command kCommands[] = {
    {"hide", Hide, nullptr, [](const zarnlocal::Project& p, std::size_t n) { return p.HiddenEntries().size() == n; }},
    {"lock", Lock, nullptr, [](const zarnlocal::Project& p, std::size_t n) { return p.Locks().size() == n; }},
    {"unlock", Unlock, Lock, [](const zarnlocal::Project& p, std::size_t) { return p.Locks().empty(); }},
    {"refresh", Refresh, nullptr, [](const zarnlocal::Project& p, std::size_t n) { return p.Views().size() == n; }},
    {"view", View,
     [](const zarnlocal::Project& p) {
       Hide(p);
       Lock(p);
     },
     [](const zarnlocal::Project&, std::size_t n) { return viewLines == n + 1; }},
};

void TimeCommand(benchmark::State& state, const Command* command) {
  const FilesProject& files = ProjectOf(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    files.Clear();
    if (command->before) command->before(files.Open());
    state.ResumeTiming();
    command->run(files.Open());
  }
  if (!command->done(files.Open(), files.Files())) state.SkipWithError("the command did not do what it should");
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

void RegisterLocalHostBenchmarks() {
  for (const Command& command : kCommands) {
    benchmark::RegisterBenchmark((std::string("localhost/") + command.name).c_str(), TimeCommand, &command)
        ->Arg(1000)
        ->Arg(10000)
        ->Arg(100000)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(kLocalHostRepetitions)
        ->ReportAggregatesOnly(true);
  }
}

}  // namespace zarnbench
