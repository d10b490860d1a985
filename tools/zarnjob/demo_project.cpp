#include "demo_project.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "host/cfx_result.h"

namespace zarnjob::demo {
namespace {

namespace fs = std::filesystem;

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
  if (!out.flush()) throw CfxResult(E_FAIL, "cannot write " + path.string());
}

}  // namespace

std::string PrepareFolder(const std::string& requested) {
  if (requested.empty()) {
    std::string pattern = (fs::temp_directory_path() / "zarnjob-demo-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
      throw CfxResult(E_FAIL, "cannot make a temporary folder in " + fs::temp_directory_path().string());
    return pattern;
  }
  const fs::path folder = fs::absolute(requested);
  std::error_code error;
  if (fs::exists(folder, error)) {
    if (!fs::is_directory(folder, error)) throw CfxResult(E_INVALIDARG, "not a folder: " + folder.string());
    if (!fs::is_empty(folder, error)) {
      throw CfxResult(E_INVALIDARG,
                      "the demo makes its project in a new or empty folder; this one is not empty: " + folder.string());
    }
  } else if (!fs::create_directories(folder, error) || error) {
    throw CfxResult(E_FAIL, "cannot make the folder " + folder.string() + ": " + error.message());
  }
  return folder.lexically_normal().string();
}

void WriteSampleFiles(const std::string& folder) {
  for (const SampleFile& file : kSampleFiles) Write(fs::path(folder) / file.path, file.content);
}

void AddHostContent(const zarnlocal::Project& project) {
  project.MakeVirtualDocument(kVirtualDocument, "Overview of the growth study\n");
}

}  // namespace zarnjob::demo
