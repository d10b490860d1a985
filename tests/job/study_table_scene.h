// The scene of the study-table staging tests.
#pragma once

#include "ZarnServerJobUtils.h"
#include "fake_host/host.h"

namespace jobtest {

// A study table T.std with both companion folders "T Files" and "T_Files",
// a job whose file area is named J, and a base location. Every location the
// library can make is scripted; relative URLs escape their blanks.
struct StudyTableProject {
  fakehost::Host host;
  fakehost::Object& job = host.Make("job");
  fakehost::Object& files = host.Make("files");
  fakehost::Object& copied = host.Make("copied");
  fakehost::Object& table = host.Make("table");
  fakehost::Object& area = host.Make("area");          // J.std beside the table
  fakehost::Object& inT = host.Make("inT");            // Input/T.std
  fakehost::Object& inJ = host.Make("inJ");            // Input/J.std
  fakehost::Object& tFiles = host.Make("tFiles");      // T Files
  fakehost::Object& t_Files = host.Make("t_Files");    // T_Files
  fakehost::Object& tAll = host.Make("tAll");          // T Files/*
  fakehost::Object& t_All = host.Make("t_All");        // T_Files/*
  fakehost::Object& jFiles = host.Make("jFiles");      // J Files
  fakehost::Object& inTFiles = host.Make("inTFiles");  // Input/T Files
  fakehost::Object& inJFiles = host.Make("inJFiles");  // Input/J Files
  fakehost::Object& base = host.Make("base");

  StudyTableProject() {
    auto& serverJob = job.Add<fakehost::FakeZarnServerJob>();
    serverJob.documentsFolder = u"/srv/docs";
    serverJob.jobFiles = &files;
    auto& fileArea = files.Add<fakehost::FakeJobFiles>();
    fileArea.name = u"J";
    fileArea.copyResult = &copied;
    copied.Add<fakehost::FakeUnknown>();

    Url(table, u"T.std", u"T").children = {{u"J.std", &area},      {u"Input/T.std", &inT}, {u"T Files", &tFiles},
                                           {u"T_Files", &t_Files}, {u"T Files/*", &tAll},  {u"T_Files/*", &t_All}};
    table.Get<fakehost::FakeUrl>().relative = {{&inT, u"Input/T.std"},
                                               {&inTFiles, u"Input/T%20Files"},
                                               {&inJ, u"Input/J.std"},
                                               {&inJFiles, u"Input/J%20Files"}};
    Url(area, u"J.std", u"J").children = {{u"Input/J.std", &inJ}, {u"J Files", &jFiles}};
    Url(inT, u"T.std", u"T").children = {{u"T Files", &inTFiles}};
    Url(inJ, u"J.std", u"J").children = {{u"J Files", &inJFiles}};
    for (fakehost::Object* folder : {&tFiles, &t_Files}) {
      Url(*folder, u"", u"");
      folder->Add<fakehost::FakeFileUrl>().exists = VARIANT_TRUE;
    }
    Url(tAll, u"*", u"");
    tAll.Add<fakehost::FakeFileUrl>().path = u"/p/T Files/*";
    Url(t_All, u"*", u"");
    t_All.Add<fakehost::FakeFileUrl>().path = u"/p/T_Files/*";
    for (fakehost::Object* other : {&jFiles, &inTFiles, &inJFiles}) Url(*other, u"", u"");
    Url(base, u"", u"").relative = {{&table, u"Study%20Tables/T.std"},
                                    {&tFiles, u"Study%20Tables/T%20Files"},
                                    {&area, u"Study%20Tables/J%2Estd"},
                                    {&jFiles, u"Study%20Tables/J%20Files"}};
  }

  static fakehost::FakeUrl& Url(fakehost::Object& object, const char16_t* fileName, const char16_t* name) {
    auto& url = object.Add<fakehost::FakeUrl>();
    url.fileName = fileName;
    url.name = name;
    return url;
  }

  void Stage(ISBUrl* relativeTo, bool useFileAreaName, bool stageInInput) {
    AppUtils::Document::AddStudyTableToJob(job.As<ISBZarnServerJob>(), table.As<ISBUrl>(), nullptr, relativeTo,
                                           useFileAreaName, stageInInput);
  }
};

}  // namespace jobtest
