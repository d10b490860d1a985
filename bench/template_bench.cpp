// Template reading: ReadTemplate through the local reference host beside
// std::getline over std::ifstream, and beside memcpy and memchr of the file's
// bytes and reading the whole file with one read call.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "ZarnServerJobUtils.h"
#include "benches.h"
#include "inputs.h"
#include "localhost/local_host.h"

namespace zarnbench {
namespace {

using AppUtils::Document::ReadTemplate;

// A project folder holding the template files; removed at exit.
struct TemplateProject {
  std::string folder;
  std::unique_ptr<zarnlocal::Project> project;
  CfxComPtr<ISBContainerRoot> root;

  TemplateProject() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zarn-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    folder = pattern;
    project = std::make_unique<zarnlocal::Project>(zarnlocal::Project::Open(folder));
    root = project->Container();
  }
  ~TemplateProject() {
    root = nullptr;
    project.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
};

TemplateProject& TheProject() {
  static TemplateProject project;
  return project;
}

struct TemplateFile {
  std::string name;   // relative to the project folder: the location text
  std::string path;   // absolute, for the peers
  std::string bytes;  // the file's content
};

// What a user writes without the library: read every line, drop the CR of a
// CR LF end, append the line and an LF. Looping until the stream is at its
// end keeps the same last line as the template reader: one empty line after
// a final terminator.
std::string GetlineText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  std::string text;
  std::string line;
  do {
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    text += line;
    text += '\n';
  } while (!in.eof());
  return text;
}

void Ours(benchmark::State& state, const TemplateFile& file) {
  ISBContainerRoot* root = TheProject().root.get();
  for (auto _ : state) {
    std::string text = ReadTemplate(file.name, root);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.bytes.size()));
}

void Getline(benchmark::State& state, const TemplateFile& file) {
  for (auto _ : state) {
    std::string text = GetlineText(file.path);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.bytes.size()));
}

// The result text built from the file's bytes in memory, as both readers
// build it: a line at a time appended to one string that grows as it must.
std::string BuildText(std::string_view bytes) {
  std::string text;
  for (std::size_t begin = 0; begin <= bytes.size();) {
    const std::size_t end = std::min(bytes.find('\n', begin), bytes.size());
    std::string_view line = bytes.substr(begin, end - begin);
    if (line.ends_with('\r')) line.remove_suffix(1);
    text.append(line);
    text += '\n';
    begin = end + 1;
  }
  return text;
}

// Building the result with no reading at all: the floor for both readers.
void Build(benchmark::State& state, const TemplateFile& file) {
  for (auto _ : state) {
    std::string text = BuildText(file.bytes);
    benchmark::DoNotOptimize(text.data());
  }
}

void Memcpy(benchmark::State& state, const TemplateFile& file) {
  const auto target = std::make_unique<char[]>(file.bytes.size());
  for (auto _ : state) {
    std::memcpy(target.get(), file.bytes.data(), file.bytes.size());
    benchmark::DoNotOptimize(target.get());
    benchmark::ClobberMemory();
  }
}

void Memchr(benchmark::State& state, const TemplateFile& file) {
  for (auto _ : state) {
    const void* found = std::memchr(file.bytes.data(), '\0', file.bytes.size());
    benchmark::DoNotOptimize(found);
  }
}

// Opening the file and reading all of it with one read call into memory
// that is already mapped.
void ReadOnce(benchmark::State& state, const TemplateFile& file) {
  const auto target = std::make_unique<char[]>(file.bytes.size());
  for (auto _ : state) {
    const int fd = ::open(file.path.c_str(), O_RDONLY | O_CLOEXEC);
    const ssize_t got = fd < 0 ? -1 : ::read(fd, target.get(), file.bytes.size());
    if (fd >= 0) ::close(fd);
    if (got != static_cast<ssize_t>(file.bytes.size())) {
      state.SkipWithError("the single read did not get the whole file");
      break;
    }
    benchmark::DoNotOptimize(target.get());
  }
}

void Register(const std::string& name, const TemplateFile& file, void (*body)(benchmark::State&, const TemplateFile&)) {
  benchmark::RegisterBenchmark(name.c_str(), body, std::cref(file))
      ->Unit(benchmark::kMillisecond)
      ->Repetitions(kRepetitions)
      ->ReportAggregatesOnly(true);
}

}  // namespace

void RegisterTemplateBenchmarks() {
  for (const bool crlf : {false, true}) {
    auto& file = *new TemplateFile;  // lives as long as the program
    file.name = crlf ? "lines-crlf.txt" : "lines-lf.txt";
    file.path = TheProject().folder + "/" + file.name;
    file.bytes = TemplateText(64 * kMiB, crlf);
    std::ofstream(file.path, std::ios::binary) << file.bytes;

    std::string expected = file.bytes + "\n";  // the empty line after the final terminator
    std::erase(expected, '\r');
    const std::string ours = ReadTemplate(file.name, TheProject().root.get());
    if (ours != expected || GetlineText(file.path) != expected || BuildText(file.bytes) != expected) {
      throw std::runtime_error("different output: ReadTemplate and std::getline on " + file.name);
    }

    const std::string prefix = std::string("template/") + (crlf ? "crlf" : "lf") + "/";
    Register(prefix + "ours", file, Ours);
    Register(prefix + "getline", file, Getline);
    Register(prefix + "build", file, Build);
    Register(prefix + "memcpy", file, Memcpy);
    Register(prefix + "memchr", file, Memchr);
    Register(prefix + "read", file, ReadOnce);
  }
}

}  // namespace zarnbench
