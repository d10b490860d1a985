// Scenarios of job preparation: job creation, the server documents folder
// and study-table staging (every row of the naming table, and each of the
// three ways the companion folder can be found).
#include <string>

#include "ZarnServerJobUtils.h"
#include "job/job_scene.h"
#include "job/study_table_scene.h"
#include "reliability/sweep.h"

namespace reliability {
namespace {

using namespace AppUtils::Document;

Scenario Create(std::string name, bool withRoot, bool useInputFolder, const char* argument) {
  return {std::move(name), "returned job", [=](Probe& probe) {
            // The caller's argument is made before the host counts its strings.
            CfxVariant jobArgument;
            if (argument) jobArgument.Set(CfxBSTR(argument));
            jobtest::JobSetup setup;
            ISBContainerRoot* root = withRoot ? setup.Root() : nullptr;
            probe.Run(setup.host, [&] {
              return setup.host.Describe(
                  CreateZarnServerJob(jobArgument, setup.State(), "run 7", root, useInputFolder).get());
            });
          }};
}

Scenario DocumentsFolder(std::string name, CfxWString folder, bool withRoot) {
  const std::string text(folder.begin(), folder.end());
  return {std::move(name), text.empty() ? "returned" : "returned " + text, [=](Probe& probe) {
            jobtest::JobSetup setup;
            setup.job.Get<fakehost::FakeZarnServerJob>().documentsFolder = folder;
            ISBContainerRoot* root = withRoot ? setup.Root() : nullptr;
            probe.Run(setup.host, [&] {
              return CfxWideToNarrow(ServerDocumentsFolder(setup.job.As<ISBZarnServerJob>(), root).View());
            });
          }};
}

enum class Companion { kSpace, kUnderscoreOnly, kNone };

Scenario Stage(std::string name, bool useFileAreaName, bool stageInInput, bool withBase,
               Companion companion = Companion::kSpace) {
  return {std::move(name), "returned", [=](Probe& probe) {
            jobtest::StudyTableProject project;
            if (companion != Companion::kSpace) project.tFiles.Get<fakehost::FakeFileUrl>().exists = VARIANT_FALSE;
            if (companion == Companion::kNone) project.t_Files.Get<fakehost::FakeFileUrl>().exists = VARIANT_FALSE;
            ISBUrl* base = withBase ? project.base.As<ISBUrl>() : nullptr;
            probe.Run(project.host, [&] {
              project.Stage(base, useFileAreaName, stageInInput);
              return std::string();
            });
          }};
}

}  // namespace

std::vector<Scenario> JobScenarios() {
  return {
      Create("CreateZarnServerJob: container with a job host, input folder, text argument", true, true, "arg"),
      Create("CreateZarnServerJob: no container, no input folder, empty argument", false, false, nullptr),
      DocumentsFolder("ServerDocumentsFolder: a folder", OLESTR("/srv/docs"), false),
      DocumentsFolder("ServerDocumentsFolder: an empty folder text, with a container", OLESTR(""), true),
      Stage("AddStudyTableToJob: own name, no input folder, no base", false, false, false),
      Stage("AddStudyTableToJob: file area name, no input folder, no base", true, false, false),
      Stage("AddStudyTableToJob: own name in the input folder", false, true, true),
      Stage("AddStudyTableToJob: file area name in the input folder", true, true, false),
      Stage("AddStudyTableToJob: own name relative to a base", false, false, true),
      Stage("AddStudyTableToJob: file area name relative to a base", true, false, true),
      Stage("AddStudyTableToJob: only the underscore companion folder", false, false, false,
            Companion::kUnderscoreOnly),
      Stage("AddStudyTableToJob: no companion folder", true, false, false, Companion::kNone),
  };
}

}  // namespace reliability
