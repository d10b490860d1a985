// Scenarios of client documents: import and view (both ways of showing, a
// document that cannot be locked, a container that is no view host), result
// refresh, document locking, and real file paths of real and virtual
// documents.
#include <string>

#include "ZarnServerJobUtils.h"
#include "documents/project_scene.h"
#include "documents/workspace_scene.h"
#include "reliability/sweep.h"

namespace reliability {
namespace {

using namespace AppUtils::Document;

Scenario Import(std::string name, std::string cleanEnding, bool openView, bool lockable, bool viewHost) {
  return {std::move(name), std::move(cleanEnding), [=](Probe& probe) {
            documents_test::Project project(viewHost);
            const documents_test::Entry entry = project.Add("a", "docA", lockable);
            probe.Run(project.host, [&] {
              return project.host.Describe(ImportAndView(entry.url.As<ISBUrl>(), openView, project.Root()).get());
            });
          }};
}

// A folder listing `entries` documents; the second one cannot be locked.
Scenario Refresh(std::string name, int entries, bool openView, bool viewHost) {
  return {std::move(name), "returned", [=](Probe& probe) {
            documents_test::Project project(viewHost);
            for (int i = 1; i <= entries; ++i) {
              project.Add("url" + std::to_string(i), "doc" + std::to_string(i), i != 2);
            }
            probe.Run(project.host, [&] {
              RefreshResults(project.Folder(), openView, project.Root());
              return std::string();
            });
          }};
}

// A folder listing a document, a location without one and a document that
// cannot be locked; or nothing.
Scenario Lock(std::string name, bool lock, bool empty) {
  return {std::move(name), "returned", [=](Probe& probe) {
            documents_test::Project project;
            if (!empty) {
              project.Add("a", "docA");
              project.Add("b", "");
              project.Add("c", "docC", false);
            }
            probe.Run(project.host, [&] {
              SetDocumentLock(project.Folder(), lock, project.Root());
              return std::string();
            });
          }};
}

Scenario RealFile(std::string name, std::string cleanEnding, VARIANT_BOOL isVirtual) {
  return {std::move(name), std::move(cleanEnding), [=](Probe& probe) {
            documents_test::Workspace workspace(isVirtual);
            probe.Run(workspace.host,
                      [&] { return CfxWideToNarrow(GetPathToRealFile(workspace.Doc(), workspace.Root()).View()); });
          }};
}

}  // namespace

std::vector<Scenario> DocumentScenarios() {
  return {
      Import("ImportAndView: open a view", "returned docA", true, true, true),
      Import("ImportAndView: show the document", "returned docA", false, true, true),
      Import("ImportAndView: a document that cannot be locked", "returned docA", false, false, true),
      Import("ImportAndView: a container that is no view host", "returned null", true, true, false),
      Refresh("RefreshResults: three documents in views", 3, true, true),
      Refresh("RefreshResults: two documents shown", 2, false, true),
      Refresh("RefreshResults: a container that is no view host", 2, true, false),
      Refresh("RefreshResults: an empty folder", 0, false, true),
      Lock("SetDocumentLock: lock", true, false),
      Lock("SetDocumentLock: unlock", false, false),
      Lock("SetDocumentLock: an empty folder", true, true),
      RealFile("GetPathToRealFile: a document with a file of its own", "returned C:\\Runs\\Bericht \xC3\x84 1.SDD",
               VARIANT_FALSE),
      RealFile("GetPathToRealFile: IsVirtual answering 1", "returned C:\\Runs\\Bericht \xC3\x84 1.SDD",
               VARIANT_BOOL{1}),
      RealFile("GetPathToRealFile: a virtual document", "returned /home/u/ws\\Bericht \xC3\x84 1.SDD", VARIANT_TRUE),
  };
}

}  // namespace reliability
