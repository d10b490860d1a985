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
    serverJob.documentsFolder = OLESTR("/srv/docs");
    serverJob.jobFiles = &files;
    auto& fileArea = files.Add<fakehost::FakeJobFiles>();
    fileArea.name = OLESTR("J");
    fileArea.copyResult = &copied;
    copied.Add<fakehost::FakeUnknown>();

    Url(table, OLESTR("T.std"), OLESTR("T")).children = {{OLESTR("J.std"), &area},     {OLESTR("Input/T.std"), &inT},
                                                         {OLESTR("T Files"), &tFiles}, {OLESTR("T_Files"), &t_Files},
                                                         {OLESTR("T Files/*"), &tAll}, {OLESTR("T_Files/*"), &t_All}};
    table.Get<fakehost::FakeUrl>().relative = {{&inT, OLESTR("Input/T.std")},
                                               {&inTFiles, OLESTR("Input/T%20Files")},
                                               {&inJ, OLESTR("Input/J.std")},
                                               {&inJFiles, OLESTR("Input/J%20Files")}};
    Url(area, OLESTR("J.std"), OLESTR("J")).children = {{OLESTR("Input/J.std"), &inJ}, {OLESTR("J Files"), &jFiles}};
    Url(inT, OLESTR("T.std"), OLESTR("T")).children = {{OLESTR("T Files"), &inTFiles}};
    Url(inJ, OLESTR("J.std"), OLESTR("J")).children = {{OLESTR("J Files"), &inJFiles}};
    for (fakehost::Object* folder : {&tFiles, &t_Files}) {
      Url(*folder, OLESTR(""), OLESTR(""));
      folder->Add<fakehost::FakeFileUrl>().exists = VARIANT_TRUE;
    }
    Url(tAll, OLESTR("*"), OLESTR(""));
    tAll.Add<fakehost::FakeFileUrl>().path = OLESTR("/p/T Files/*");
    Url(t_All, OLESTR("*"), OLESTR(""));
    t_All.Add<fakehost::FakeFileUrl>().path = OLESTR("/p/T_Files/*");
    for (fakehost::Object* other : {&jFiles, &inTFiles, &inJFiles}) Url(*other, OLESTR(""), OLESTR(""));
    Url(base, OLESTR(""), OLESTR("")).relative = {{&table, OLESTR("Study%20Tables/T.std")},
                                                  {&tFiles, OLESTR("Study%20Tables/T%20Files")},
                                                  {&area, OLESTR("Study%20Tables/J%2Estd")},
                                                  {&jFiles, OLESTR("Study%20Tables/J%20Files")}};
  }

  static fakehost::FakeUrl& Url(fakehost::Object& object, const OLECHAR* fileName, const OLECHAR* name) {
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
