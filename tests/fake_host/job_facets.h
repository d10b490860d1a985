// Fakes of the job-side host interfaces, and a plain IUnknown for the
// objects the library only holds (operations, views, copy results).
#pragma once

#include <map>
#include <string>

#include "fake_host/facet.h"
#include "host/job_interfaces.h"
#include "host/project_interfaces.h"

namespace fakehost {

class FakeUnknown final : public FacetOf<IUnknown> {
 public:
  FakeUnknown() : FacetOf("IUnknown") {}
};

class FakeJobHost final : public FacetOf<ISBJobHost> {
 public:
  FakeJobHost() : FacetOf("ISBJobHost") {}
};

class FakeState final : public FacetOf<ISBState> {
 public:
  FakeState() : FacetOf("ISBState") {}
};

class FakeJob final : public FacetOf<ISBJob> {
 public:
  FakeJob() : FacetOf("ISBJob") {}
  std::map<CfxWString, CfxWString> properties;

  HRESULT GetProperty(BSTR name, BSTR* out) override {
    return Answer(Line("GetProperty", name), out, Lookup(properties, Text(name)));
  }
  HRESULT BeginLiveUpdates(BSTR mask) override { return Run(Line("BeginLiveUpdates", mask)); }
  HRESULT EndLiveUpdates(BSTR text) override { return Run(Line("EndLiveUpdates", text)); }
};

class FakeJobTransfer final : public FacetOf<ISBJobTransfer> {
 public:
  FakeJobTransfer() : FacetOf("ISBJobTransfer") {}

  HRESULT Download(BSTR source, BSTR destination, std::int32_t first, std::int32_t second) override {
    return Run(Line("Download", source, destination, first, second));
  }
};

class FakeManagedJob final : public FacetOf<ISBManagedJob> {
 public:
  FakeManagedJob() : FacetOf("ISBManagedJob") {}
  CfxWString clientFolder;

  HRESULT GetClientFolder(BSTR* out) override { return Answer(Line("GetClientFolder"), out, clientFolder); }
};

class FakeZarnServerJob final : public FacetOf<ISBZarnServerJob> {
 public:
  FakeZarnServerJob() : FacetOf("ISBZarnServerJob") {}
  CfxWString documentsFolder;
  Object* jobFiles = nullptr;

  HRESULT Initialize(ISBJobHost* host, ISBState* state, VARIANT argument, BSTR inputFolder) override {
    return Run(Line("Initialize", host, state, argument, inputFolder));
  }
  HRESULT AddInputFile(ISBUrl* file, BSTR name) override { return Run(Line("AddInputFile", file, name)); }
  HRESULT GetDocumentsFolder(BSTR* out) override { return Answer(Line("GetDocumentsFolder"), out, documentsFolder); }
  HRESULT SetJobText(BSTR text) override { return Run(Line("SetJobText", text)); }
  HRESULT GetJobFiles(ISBJobFiles** out) override { return Answer(Line("GetJobFiles"), out, jobFiles); }
};

class FakeJobFiles final : public FacetOf<ISBJobFiles> {
 public:
  FakeJobFiles() : FacetOf("ISBJobFiles") {}
  CfxWString name;
  Object* copyResult = nullptr;

  HRESULT GetName(BSTR* out) override { return Answer(Line("GetName"), out, name); }
  HRESULT CopyFiles(BSTR source, BSTR destination, std::int32_t flags, std::int32_t options, VARIANT first,
                    VARIANT second, VARIANT third, VARIANT fourth, IUnknown** out) override {
    return Answer(Line("CopyFiles", source, destination, flags, options, first, second, third, fourth), out,
                  copyResult);
  }
};

}  // namespace fakehost
