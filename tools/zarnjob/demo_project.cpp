#include "demo_project.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "host/cfx_result.h"
#include "localhost/file_system.h"

namespace zarnjob::demo {
namespace {

namespace fs = std::filesystem;
using zarnlocal::NativePath;
using zarnlocal::PathText;

struct SampleFile {
  const char* path;
  const char* content;
};

const SampleFile kSampleFiles[] = {
    {".zarn/filetypes",
     "# extension  type name            dependent extensions\n"
     "mdl          Demo.ModelDocument   fit log\n"},
    {"Templates/fit.tpl",
     "# Curve fit\n"
     "model = logistic\n"
     "iterations = 200\n"
     "tolerance = 1e-6\n"},
    {"Tables/Growth.std", "day\theight\n1\t2.0\n2\t3.1\n3\t4.5\n"},
    {"Tables/Growth Files/notes.txt", "Measured every morning.\n"},
    {"Tables/Growth Files/raw/day1.csv", "1,2.0\n"},
    {"Models/curve.mdl", "logistic curve\n"},
    {"Models/curve.fit", "fit parameters\n"},
    {"Models/curve.log", "fit log\n"},
    {"Scratch/old-1.tmp", "scratch\n"},
    {"Scratch/old-2.tmp", "scratch\n"},
};

void Write(const fs::path& path, const std::string& content) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out << content;
  if (!out.flush()) throw CfxResult(E_FAIL, "cannot write " + PathText(path));
}

// A new folder of its own in the temporary folder: a name no other
// process has, taken by making it.
std::string MakeTemporaryFolder() {
  std::error_code error;
  const fs::path temporary = fs::temp_directory_path(error);
  if (error) throw CfxResult(E_FAIL, "cannot find the temporary folder: " + error.message());
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "zarnjob-demo-%06llx", static_cast<unsigned long long>(random() & 0xFFFFFF));
    const fs::path folder = temporary / name;
    if (fs::create_directory(folder, error)) return PathText(folder);
    if (error) break;
  }
  throw CfxResult(E_FAIL, "cannot make a temporary folder in " + PathText(temporary) +
                              (error ? ": " + error.message() : std::string()));
}

}  // namespace

std::string PrepareFolder(const std::string& requested) {
  if (requested.empty()) return MakeTemporaryFolder();
  const fs::path folder = fs::absolute(NativePath(requested));
  const std::string shown = PathText(folder);
  std::error_code error;
  if (fs::exists(folder, error)) {
    if (!fs::is_directory(folder, error)) throw CfxResult(E_INVALIDARG, "not a folder: " + shown);
    if (!fs::is_empty(folder, error)) {
      throw CfxResult(E_INVALIDARG,
                      "the demo makes its project in a new or empty folder; this one is not empty: " + shown);
    }
  } else if (!fs::create_directories(folder, error) || error) {
    throw CfxResult(E_FAIL, "cannot make the folder " + shown + ": " + error.message());
  }
  return PathText(folder.lexically_normal());
}

void WriteSampleFiles(const std::string& folder) {
  for (const SampleFile& file : kSampleFiles) Write(NativePath(folder + "/" + file.path), file.content);
}

void AddHostContent(const zarnlocal::Project& project) {
  project.MakeVirtualDocument(kVirtualDocument, "Overview of the growth study\n");
}

}  // namespace zarnjob::demo
