// Scenarios of file hiding: listed files, and dependent files of study
// tables (each companion folder case) and of ordinary documents (with
// dependents that exist and that do not, without an extension, with none).
#include <string>

#include "ZarnServerJobUtils.h"
#include "hiding/hiding_scenes.h"
#include "reliability/sweep.h"

namespace reliability {
namespace {

using namespace AppUtils::Document;
using namespace hidingtest;

Scenario Hide(std::string name, int entries) {
  return {std::move(name), "returned", [=](Probe& probe) {
            Project project;
            for (int i = 1; i <= entries; ++i) {
              const std::string entry = "e" + std::to_string(i);
              project.Entry(entry, OLESTR("/p/") + CfxWString(entry.begin(), entry.end()) + OLESTR(".txt"));
            }
            probe.Run(project.host, [&] {
              HideFiles(project.Folder(), project.Container());
              return std::string();
            });
          }};
}

// A study table with the companion folders that exist, then a plain entry
// without extension, then a model with the dependents def (missing) and ghi
// (present), then a document whose extension has no dependents.
Scenario HideDependents(std::string name, bool spaceExists, bool underscoreExists, bool recursive) {
  return {std::move(name), "returned", [=](Probe& probe) {
            StudyTable project(spaceExists, underscoreExists);
            project.Entry("model", OLESTR("/p/model.abc"));
            project.Entry("lonely", OLESTR("/p/lonely.xyz"));
            auto& types = project.types.Get<FakeFileTypes>();
            types.dependents[OLESTR("abc")] = {OLESTR("def"), OLESTR("ghi")};
            types.emptyAsArray = spaceExists;  // an answer without extensions, both ways
            project.container.Get<FakeContainerRoot>().existingFiles = {"/p/model.ghi"};
            probe.Run(project.host, [&] {
              HideDependentFiles(project.Folder(), project.Container(), recursive);
              return std::string();
            });
          }};
}

}  // namespace

std::vector<Scenario> HidingScenarios() {
  return {
      Hide("HideFiles: two entries", 2),
      Hide("HideFiles: an empty listing", 0),
      HideDependents("HideDependentFiles: T Files, recursive", true, true, true),
      HideDependents("HideDependentFiles: only T_Files", false, true, false),
      HideDependents("HideDependentFiles: no companion folder", false, false, false),
  };
}

}  // namespace reliability
