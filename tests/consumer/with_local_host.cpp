// One export against the local reference host, in a fresh project folder.
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "ZarnServerJobUtils.h"
#include "consumer.h"
#include "localhost/local_host.h"

namespace {

void Put(const std::filesystem::path& file, const std::string& bytes) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}

// A new folder of our own in the temporary folder.
std::filesystem::path MakeProjectFolder() {
  std::random_device random;
  for (;;) {
    const auto folder = std::filesystem::temp_directory_path() / ("zarn-consumer-" + std::to_string(random()));
    if (std::filesystem::create_directory(folder)) return folder;
  }
}

void HideLogs(const std::filesystem::path& folder) {
  Put(folder / "Logs/run.log", "log");
  Put(folder / "Logs/keep/old.log", "log");
  {
    const zarnlocal::Project project = zarnlocal::Project::Open(folder.string());
    const CfxComPtr<ISBContainerRoot> root = project.Container();
    AppUtils::Document::HideFiles(project.Url("Logs/").get(), root.get());
    Expect(project.IsHidden("Logs/run.log"), "HideFiles hid Logs/run.log");
    Expect(project.IsHidden("Logs/keep"), "HideFiles hid Logs/keep");
  }
  Expect(zarnlocal::LiveObjectCount() == 0, "every host object is released");
  Expect(zarnlocal::OutstandingReferenceCount() == 0, "every host reference is released");
}

}  // namespace

std::string CheckWithLocalHost() {
  const std::filesystem::path folder = MakeProjectFolder();
  try {
    HideLogs(folder);
  } catch (const CfxResult& result) {
    Expect(false, "unexpected CfxResult: " + result.Description());
  }
  std::filesystem::remove_all(folder);
  return "with the local host";
}
