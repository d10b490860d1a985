// demo: the whole road of a job in a sample project, one export after the
// other, each step narrated in one line, then the project view. Every one of
// the sixteen exports is called at least once; with --trace each step's host
// calls come right before its line.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ZarnServerJobUtils.h"
#include "commands.h"
#include "demo_project.h"
#include "output.h"
#include "project_access.h"
#include "project_listing.h"

namespace zarnjob {
namespace {

using namespace AppUtils::Document;

class Road {
 public:
  Road(Context& context, const zarnlocal::Project& project)
      : context_(context), project_(project), root_(project.Container()) {}

  void Walk() {
    Messages();
    Template();
    CreateJob();
    Stage();
    RunOnTheServer();
    BringResultsHome();
    ImportAndRefresh();
    LockAndUnlock();
    RealFile();
    Hide();
    StopLive();
  }

 private:
  void Say(const std::string& line) {
    char number[8];
    std::snprintf(number, sizeof number, "%2d. ", ++step_);
    PrintLine(number + line);
  }

  std::string Relative(const std::string& path) const { return RelativeToProject(project_, path); }

  void Messages() {
    const char* text = context_.Library([] { return ID2MessageString(0); });
    Say(std::string("ID2MessageString(0): ") +
        (text ? "\"" + std::string(text) + "\"" : "no text; the message table is empty"));
  }

  void Template() {
    const std::string text = context_.Library([&] { return ReadTemplate(demo::kTemplate, root_.get()); });
    Say("ReadTemplate: " + std::string(demo::kTemplate) + " read, " + std::to_string(text.size()) +
        " bytes of text, the first line \"" + text.substr(0, text.find('\n')) + "\"");
  }

  void CreateJob() {
    const CfxComPtr<ISBState> plan = zarnlocal::MakeJobTemplate("Curve fit");
    const CfxVariant argument{};
    job_ = context_.Library(
        [&] { return CreateZarnServerJob(argument, plan.get(), "Fit the growth curve", root_.get(), true); });
    handle_.emplace(*zarnlocal::ServerJob::Of(job_.get()));
    Say("CreateZarnServerJob: job " + handle_->Id() + " from the template \"Curve fit\", with an Input folder");

    const CfxBSTR folder = context_.Library([&] { return ServerDocumentsFolder(job_.get(), root_.get()); });
    Say("ServerDocumentsFolder: job " + handle_->Id() + " keeps its documents in " + folder.ToTString() +
        " on the server");
  }

  void Stage() {
    const std::string companion = context_.Library([] { return UnescapeRFC1738(demo::kCompanionEscaped); });
    Say("UnescapeRFC1738: \"" + std::string(demo::kCompanionEscaped) + "\" is \"" + companion + "\"");

    const CfxComPtr<ISBUrl> table = ProjectLocation(project_, demo::kStudyTable);
    context_.Library([&] { AddStudyTableToJob(job_.get(), table.get(), root_.get(), nullptr, false, true); });
    const std::vector<zarnlocal::JobInput> inputs = handle_->Inputs();
    Say("AddStudyTableToJob: " + std::string(demo::kStudyTable) + " is input " +
        (inputs.empty() ? std::string("(none)") : inputs.back().name) + " of job " + handle_->Id() +
        ", with the files of \"" + companion + "\"");

    context_.Library([&] { StartLiveUpdates(handle_->Job()); });
    Say("StartLiveUpdates: job " + handle_->Id() + " sends live updates");
  }

  void RunOnTheServer() {
    results_ = handle_->Run();
    Say("The local server ran job " + handle_->Id() + ": " + std::to_string(results_.size()) + " result documents");
  }

  void BringResultsHome() {
    for (const std::string& result : results_) {
      const CfxComPtr<ISBUrl> client =
          context_.Library([&] { return DeduceClientUrl(result, handle_->ManagedJob(), root_.get()); });
      const CfxBSTR source(result);
      context_.Library([&] { DownloadFile(source, client.get(), handle_->Job()); });
      const std::string local = Relative(FilePathOf(client.get()));
      Say("DeduceClientUrl and DownloadFile: " + result + " is now " + local);
      downloaded_.push_back(local);
    }
    resultsFolder_ = Relative(handle_->ClientFolder()) + "/Results/";
  }

  void ImportAndRefresh() {
    const std::string summary = resultsFolder_ + "summary.txt";
    const CfxComPtr<ISBUrl> location = ProjectLocation(project_, summary);
    {
      const CfxComPtr<ISBDocumentRoot> document =
          context_.Library([&] { return ImportAndView(location.get(), true, root_.get()); });
      Say("ImportAndView: " + Relative(DocumentPathOf(document.get())) + " imported, in a view, locked by " +
          LockOwnersOf(summary));
    }
    const CfxComPtr<ISBUrl> folder = DocumentsUnder(project_, resultsFolder_, true);
    context_.Library([&] { RefreshResults(folder.get(), false, root_.get()); });
    Say("RefreshResults: every document in " + resultsFolder_ + " imported and shown again, now " +
        (project_.Locks().empty() ? "unlocked" : "still locked"));
  }

  void LockAndUnlock() {
    const CfxComPtr<ISBUrl> folder = DocumentsUnder(project_, resultsFolder_, true);
    context_.Library([&] { SetDocumentLock(folder.get(), true, root_.get()); });
    const std::size_t locked = project_.Locks().size();
    const std::string first = downloaded_.front();
    const CfxComPtr<ISBUrl> one = ProjectLocation(project_, first);
    context_.Library([&] { SetDocumentLock(one.get(), false, root_.get()); });
    Say("SetDocumentLock: the " + std::to_string(locked) + " documents in " + resultsFolder_ + " locked, then " +
        first + " unlocked");
  }

  void RealFile() {
    const CfxComPtr<ISBDocumentRoot> document = DocumentAt(project_, demo::kVirtualDocument);
    const CfxBSTR path = context_.Library([&] { return GetPathToRealFile(document.get(), root_.get()); });
    Say("GetPathToRealFile: the virtual document " + std::string(demo::kVirtualDocument) + " is in the real file " +
        Relative(path.ToTString()));
  }

  void Hide() {
    std::vector<std::string> before = project_.HiddenEntries();
    const CfxComPtr<ISBUrl> scratch = ProjectLocation(project_, demo::kScratch);
    context_.Library([&] { HideFiles(scratch.get(), root_.get()); });
    Say("HideFiles: hidden what " + std::string(demo::kScratch) + " lists: " + NewlyHidden(before));

    before = project_.HiddenEntries();
    const CfxComPtr<ISBUrl> everything = ProjectLocation(project_, "./");
    context_.Library([&] { HideDependentFiles(everything.get(), root_.get(), true); });
    Say("HideDependentFiles: hidden the dependent files of every document: " + NewlyHidden(before));
  }

  void StopLive() {
    context_.Library([&] { StopLiveUpdates(handle_->Job()); });
    Say("StopLiveUpdates: job " + handle_->Id() + " stopped its live updates");
    // The road is done: the tool lets go of the job before the references are counted.
    handle_.reset();
    job_.Reset();
  }

  std::string LockOwnersOf(const std::string& path) const {
    const std::vector<std::string> owners = project_.LockOwners(path);
    return owners.empty() ? std::string("nobody") : "\"" + owners.front() + "\"";
  }

  // The entries hidden since `before`; what a newly hidden folder holds is counted, not listed.
  std::string NewlyHidden(const std::vector<std::string>& before) const {
    const std::set<std::string> old(before.begin(), before.end());
    std::vector<std::string> folders;
    std::string list;
    std::size_t inside = 0;
    for (const std::string& entry : project_.HiddenEntries()) {  // in name order: a folder before its entries
      if (old.contains(entry)) continue;
      if (std::any_of(folders.begin(), folders.end(), [&](const std::string& f) { return entry.starts_with(f); })) {
        ++inside;
        continue;
      }
      list += (list.empty() ? "" : ", ") + entry;
      folders.push_back(entry + "/");
    }
    if (list.empty()) return "nothing";
    if (inside > 0) list += " (and the " + std::to_string(inside) + " entries inside)";
    return list;
  }

  Context& context_;
  const zarnlocal::Project& project_;
  CfxComPtr<ISBContainerRoot> root_;
  CfxComPtr<ISBZarnServerJob> job_;
  std::optional<zarnlocal::ServerJob> handle_;
  std::vector<std::string> results_;
  std::vector<std::string> downloaded_;
  std::string resultsFolder_;
  int step_ = 0;
};

}  // namespace

void RunDemo(Context& context, const Invocation& call) {
  const std::string folder = demo::PrepareFolder(call.Argument(0));
  PrintLine("Sample project: " + folder);
  demo::WriteSampleFiles(folder);
  const zarnlocal::Project project = context.OpenProject(folder);
  demo::AddHostContent(project);

  Road(context, project).Walk();

  PrintLine("Project view:");
  std::vector<std::string> problems;
  for (const std::string& line : ProjectViewLines(project, problems)) PrintLine("  " + line);
  for (const std::string& problem : problems) context.watch.LeftOut(problem);
}

}  // namespace zarnjob
