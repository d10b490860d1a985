// An application's first use of an installed ZarnServerJobUtils: the two
// exports that need no host, one export against the local reference host,
// and a failure raised across the library boundary. Exits non-zero, saying
// why, on the first thing that is not as the library promises.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "ZarnServerJobUtils.h"
#include "localhost/local_host.h"

namespace {

int failures = 0;

void Expect(bool ok, const std::string& what) {
  if (!ok) {
    std::fprintf(stderr, "zarn-consumer: FAILED: %s\n", what.c_str());
    ++failures;
  }
}

void Put(const std::filesystem::path& file, const std::string& bytes) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}

void WithoutHost() {
  Expect(std::string(ZARN_VERSION_STRING) == ZARN_EXPECTED_VERSION,
         std::string("header version ") + ZARN_VERSION_STRING + " is the package's " + ZARN_EXPECTED_VERSION);
  Expect(AppUtils::Document::UnescapeRFC1738("Run%201%2Fa.std") == "Run 1/a.std", "UnescapeRFC1738 decodes escapes");
  for (std::int32_t id : {0, 1, -1}) {
    Expect(ID2MessageString(id) == nullptr, "ID2MessageString(" + std::to_string(id) + ") has no text");
  }
}

void WithLocalHost(const std::filesystem::path& folder) {
  Put(folder / "Logs/run.log", "log");
  Put(folder / "Logs/keep/old.log", "log");
  {
    const zarnlocal::Project project = zarnlocal::Project::Open(folder.string());
    const CfxComPtr<ISBContainerRoot> root = project.Container();
    AppUtils::Document::HideFiles(project.Url("Logs/").get(), root.get());
    Expect(project.IsHidden("Logs/run.log"), "HideFiles hid Logs/run.log");
    Expect(project.IsHidden("Logs/keep"), "HideFiles hid Logs/keep");

    // The library's CfxResult must be catchable as the application's.
    try {
      AppUtils::Document::HideFiles(nullptr, root.get());
      Expect(false, "HideFiles(nullptr) raises");
    } catch (const CfxResult& result) {
      Expect(result.Code() == E_INVALIDARG, "a missing argument raises E_INVALIDARG");
      Expect(result.Description() == "No files to hide",
             "the message is \"No files to hide\", not \"" + result.Description() + "\"");
    }
  }
  Expect(zarnlocal::LiveObjectCount() == 0, "every host object is released");
  Expect(zarnlocal::OutstandingReferenceCount() == 0, "every host reference is released");
}

}  // namespace

int main() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zarn-consumer-XXXXXX").string();
  if (!mkdtemp(pattern.data())) {
    std::perror("zarn-consumer: mkdtemp");
    return 2;
  }
  const std::filesystem::path folder = pattern;
  try {
    WithoutHost();
    WithLocalHost(folder);
  } catch (const CfxResult& result) {
    Expect(false, "unexpected CfxResult: " + result.Description());
  }
  std::filesystem::remove_all(folder);
  if (failures != 0) return 1;
  std::printf("zarn-consumer: ZarnServerJobUtils %s works\n", ZARN_VERSION_STRING);
  return 0;
}
