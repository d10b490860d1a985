// The local server: job creation through the framework, job state that a
// later process picks up, copies into the server, downloads and runs.
#include <gtest/gtest.h>

#include "host/create.h"
#include "localhost/job_objects.h"
#include "localhost/local_host_fixture.h"

namespace zarntest {
namespace {

class ServerTest : public LocalHostTest {
 protected:
  CfxComPtr<ISBZarnServerJob> CreateThroughFramework() {
    TheProject();
    CfxComPtr<ISBZarnServerJob> job;
    const CfxResult outcome =
        CfxCreateImpl(CLSID_ZarnServerJob, nullptr, 21, InterfaceIdOf<ISBZarnServerJob>, job.put_void(), 0);
    EXPECT_EQ(outcome.Code(), S_OK) << outcome.Description();
    return job;
  }
};

TEST_F(ServerTest, ServerPathsStayInsideTheServer) {
  const zarnlocal::Server server("/srv/local server");
  EXPECT_EQ(server.ToFilesystem("/jobs/1/Documents\\Input/T Files"),
            "/srv/local server/jobs/1/Documents/Input/T Files");
  EXPECT_EQ(server.ToFilesystem("jobs/1/x"), "/srv/local server/jobs/1/x");
  EXPECT_EQ(server.ToFilesystem("/srv/local server/jobs/2"), "/srv/local server/jobs/2");
  EXPECT_EQ(server.ToServerPath("/srv/local server/jobs/2/Documents"), "/jobs/2/Documents");
  EXPECT_THROW(server.ToFilesystem("/jobs/../../etc/passwd"), CfxResult);
}

TEST_F(ServerTest, CreatedJobsGetTheirOwnFoldersAndAreInitialisedOnce) {
  CfxComPtr<ISBZarnServerJob> first = CreateThroughFramework();
  CfxComPtr<ISBZarnServerJob> second = CreateThroughFramework();
  ASSERT_TRUE(first && second);
  EXPECT_EQ(TextOf([&](BSTR* out) { return first->GetDocumentsFolder(out); }), "/jobs/1/Documents");
  EXPECT_EQ(TextOf([&](BSTR* out) { return second->GetDocumentsFolder(out); }), "/jobs/2/Documents");
  EXPECT_EQ(TheProject().JobIds(), (std::vector<std::string>{"1", "2"}));

  CfxComPtr<ISBContainerRoot> container = TheProject().Container();
  auto jobHost = CfxComPtr<ISBJobHost>::Query(container);
  CfxComPtr<ISBState> plan = zarnlocal::MakeJobTemplate("Fit");
  CfxVariant argument(CfxBSTR("arg"));
  EXPECT_EQ(first->Initialize(jobHost.get(), plan.get(), argument, CfxBSTR("Input").in()), S_OK);
  EXPECT_EQ(first->Initialize(jobHost.get(), plan.get(), argument, CfxBSTR("Input").in()), E_UNEXPECTED);
  EXPECT_EQ(first->SetJobText(CfxBSTR("two\nlines").in()), S_OK);

  const zarnlocal::ServerJob job = TheProject().OpenJob("1");
  EXPECT_EQ(job.State(), "initialized");
  EXPECT_EQ(job.Setting("template"), "Fit");
  EXPECT_EQ(job.Setting("argument"), "arg");
  EXPECT_EQ(job.Setting("text"), "two\nlines");
  EXPECT_EQ(job.Setting("host"), TheProject().Folder());
  EXPECT_TRUE(std::filesystem::is_directory(zarntest::FsPath(job.DocumentsFolder() + "/Input")));
  EXPECT_THROW(TheProject().OpenJob("9"), CfxResult);
}

TEST_F(ServerTest, InputsCopiesAndResultsLandInTheDocumentsFolder) {
  PutFile("T.std", "a\nb\n");
  PutFile("T Files/one.txt", "1");
  PutFile("T Files/sub/two.txt", "22");
  const zarnlocal::ServerJob job = TheProject().CreateJob();
  ISBZarnServerJob* server = job.ZarnServerJob();
  EXPECT_EQ(server->AddInputFile(TheProject().Url("T.std").get(), CfxBSTR("Input/T.std").in()), S_OK);
  CfxComPtr<ISBJobFiles> files;
  ASSERT_EQ(server->GetJobFiles(files.put()), S_OK);
  EXPECT_EQ(TextOf([&](BSTR* out) { return files->GetName(out); }), "Job" + job.Id());
  CfxVariant empty;
  CfxComPtr<IUnknown> copied;
  EXPECT_EQ(
      files->CopyFiles(CfxBSTR(At("T Files/*")).in(), CfxBSTR("/jobs/" + job.Id() + "/Documents\\Input/T Files").in(),
                       513, 0, empty, empty, empty, empty, copied.put()),
      S_OK);
  EXPECT_EQ(Tree(job.DocumentsFolder()),
            (std::vector<std::string>{"Input/", "Input/T Files/", "Input/T Files/one.txt", "Input/T Files/sub/",
                                      "Input/T Files/sub/two.txt", "Input/T.std"}));
  EXPECT_EQ(job.Inputs(), (std::vector<zarnlocal::JobInput>{{"Input/T.std", At("T.std")}}));

  const std::vector<std::string> results = job.Run();
  EXPECT_EQ(results, (std::vector<std::string>{"/jobs/" + job.Id() + "/Documents/Results/inputs/Input/T.std.txt",
                                               "/jobs/" + job.Id() + "/Documents/Results/summary.txt"}));
  EXPECT_EQ(Read(job.FilesystemPath(results[0])), "Result of Input/T.std\njob: 1\nbytes: 4\nlines: 2\n");
  EXPECT_EQ(job.State(), "finished");

  EXPECT_EQ(files->CopyFiles(CfxBSTR(At("Nothing/*")).in(), CfxBSTR("/jobs/1/Documents").in(), 513, 0, empty, empty,
                             empty, empty, copied.put()),
            E_FILE_NOT_FOUND);
  EXPECT_EQ(CfxResult::LastErrorCheckNotS_OK().Description(), "no such folder: " + At("Nothing"));
}

TEST_F(ServerTest, LiveUpdatesAndPropertiesLiveInTheJobsState) {
  const zarnlocal::ServerJob job = TheProject().CreateJob();
  EXPECT_EQ(TextOf([&](BSTR* out) { return job.Job()->GetProperty(CfxBSTR("LiveUpdateMask").in(), out); }), "*");
  job.SetProperty("LiveUpdateMask", "*.std");
  EXPECT_EQ(job.Job()->BeginLiveUpdates(CfxBSTR("*.std").in()), S_OK);
  EXPECT_EQ(TheProject().OpenJob(job.Id()).Setting("live-updates"), "on");
  EXPECT_EQ(job.Job()->EndLiveUpdates(CfxBSTR("1").in()), S_OK);
  EXPECT_EQ(TheProject().OpenJob(job.Id()).Setting("live-updates"), "off");
  CfxBSTR value;
  value.CopyOnWrite();
  EXPECT_EQ(job.Job()->GetProperty(CfxBSTR("NoSuch").in(), value.out()), E_INVALIDARG);
  EXPECT_EQ(CfxResult::LastErrorCheckNotS_OK().Description(), "job 1 has no property 'NoSuch'");
}

TEST_F(ServerTest, DownloadsAreWholeOrNothing) {
  const zarnlocal::ServerJob job = TheProject().CreateJob();
  Put(job.DocumentsFolder() + "/Results/out.txt", "result");
  const std::string client = job.ClientFolder();
  EXPECT_EQ(client, At("Jobs/1"));
  ISBJobTransfer* transfer = job.Transfer();
  EXPECT_EQ(transfer->Download(CfxBSTR("/jobs/1/Documents/Results/out.txt").in(),
                               CfxBSTR(client + "/Results/out.txt").in(), 1, 0),
            S_OK);
  EXPECT_EQ(Read(client + "/Results/out.txt"), "result");

  Put(client + "/Results/kept.txt", "old");
  EXPECT_EQ(transfer->Download(CfxBSTR("/jobs/1/Documents/Results/none.txt").in(),
                               CfxBSTR(client + "/Results/kept.txt").in(), 1, 0),
            E_FILE_NOT_FOUND);
  EXPECT_EQ(Read(client + "/Results/kept.txt"), "old");
  EXPECT_EQ(
      transfer->Download(CfxBSTR("/jobs/1/Documents/Results").in(), CfxBSTR(client + "/Results/dir.txt").in(), 1, 0),
      E_FILE_NOT_FOUND);
  EXPECT_EQ(Tree(client), (std::vector<std::string>{"Results/", "Results/kept.txt", "Results/out.txt"}));
}

}  // namespace
}  // namespace zarntest
