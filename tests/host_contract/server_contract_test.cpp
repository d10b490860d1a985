// What the library relies on from the server side of a host.
#include <gtest/gtest.h>

#include "host_contract/contract_fixture.h"

namespace zarncontract {
namespace {

std::string DocumentsFolderOf(ISBZarnServerJob* job) {
  CfxBSTR folder;
  folder.CopyOnWrite();
  return HostContract::Text(job->GetDocumentsFolder(folder.out()), folder);
}

TEST_F(HostContract, CopyFilesTakesTheWildCardSourceAndTheMixedSeparatorDestination) {
  Host().MakeProject({{{"d/T.std", "t"}, {"d/T Files/a.txt", "A"}, {"d/T Files/b c.txt", "BC"}}, {}});
  CfxComPtr<ISBZarnServerJob> job = Host().NewJob();
  CfxComPtr<ISBJobFiles> files;
  ASSERT_EQ(job->GetJobFiles(files.put()), S_OK);
  // Built the way staging builds them.
  const std::string source = FilePath(Child(Host().Location("d/T.std").get(), "T Files/*").get());
  const std::string destination = DocumentsFolderOf(job.get()) + "\\" + "Input/J Files";
  CfxVariant empty;
  CfxComPtr<IUnknown> result;
  ASSERT_EQ(files->CopyFiles(CfxBSTR(source).in(), CfxBSTR(destination).in(), 513, 0, empty, empty, empty, empty,
                             result.put()),
            S_OK)
      << CfxResult::LastErrorCheckNotS_OK().Description();
  EXPECT_EQ(Host().ReadServerFile(job.get(), "Input/J Files/a.txt"), "A");
  EXPECT_EQ(Host().ReadServerFile(job.get(), "Input/J Files/b c.txt"), "BC");
}

TEST_F(HostContract, TheDocumentsFolderMapsBackToTheClientFolder) {
  Host().MakeProject({});
  CfxComPtr<ISBZarnServerJob> job = Host().NewJob();
  const std::string server = Host().PutServerFile(job.get(), "Results/out.txt", "x");
  const std::size_t marker = server.find("Documents");
  ASSERT_NE(marker, std::string::npos) << server;
  CfxBSTR client;
  client.CopyOnWrite();
  const std::string folder = Text(Host().ManagedJobOf(job.get())->GetClientFolder(client.out()), client);
  // Client URL deduction: "file:", the client folder, the tail after "Documents".
  const std::string tail = server.substr(marker + 9);
  CfxComPtr<ISBUrl> location;
  ASSERT_EQ(Factory()->CreateUrl(CfxBSTR("file:" + folder + tail).in(), location.put()), S_OK);
  EXPECT_EQ(FilePath(location.get()), folder + "/Results/out.txt");
}

class DownloadContract : public HostContract {
 protected:
  HRESULT Download(ISBZarnServerJob* job, const std::string& source, const std::string& destination) {
    auto transfer = CfxComPtr<ISBJobTransfer>::Query(Host().JobOf(job));
    return transfer->Download(CfxBSTR(source).in(), CfxBSTR(destination).in(), 1, 0);
  }
};

TEST_F(DownloadContract, CopiesTheServerFileToTheClientPath) {
  Host().MakeProject({{{"Results/", ""}}, {}});
  CfxComPtr<ISBZarnServerJob> job = Host().NewJob();
  const std::string server = Host().PutServerFile(job.get(), "Results/out.txt", std::string("bytes\0with zero", 15));
  EXPECT_EQ(Download(job.get(), server, Host().PathOf("Results/out.txt")), S_OK);
  EXPECT_EQ(Host().ReadProjectFile("Results/out.txt"), std::string("bytes\0with zero", 15));
}

TEST_F(DownloadContract, AFailedDownloadLeavesNoPartOfAFile) {
  Host().MakeProject({{{"Results/kept.txt", "old"}}, {}});
  CfxComPtr<ISBZarnServerJob> job = Host().NewJob();
  const std::string server = Host().PutServerFile(job.get(), "Results/out.txt", "new");
  const std::string missing = server.substr(0, server.size() - 7) + "missing.txt";
  EXPECT_LT(Download(job.get(), missing, Host().PathOf("Results/new.txt")), 0);
  EXPECT_FALSE(Host().ReadProjectFile("Results/new.txt"));
  EXPECT_LT(Download(job.get(), missing, Host().PathOf("Results/kept.txt")), 0);
  EXPECT_EQ(Host().ReadProjectFile("Results/kept.txt"), "old");
  EXPECT_EQ(Host().NamesIn("Results"), std::vector<std::string>{"kept.txt"}) << "stray files after a failed download";
}

}  // namespace
}  // namespace zarncontract
