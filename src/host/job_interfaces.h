// Host interfaces of the job side: jobs, their file areas and transfers.
//
// Conventions as in project_interfaces.h.
#pragma once

#include <cstdint>

#include "host/bstr.h"
#include "host/status.h"
#include "host/unknown.h"
#include "host/variant.h"

class ISBUrl;
class ISBJobFiles;

// Passed through to a new job's initialisation; the library calls nothing on them.
class ISBJobHost : public IUnknown {};
CFX_DECLARE_IID(ISBJobHost, "{5D1E4D7B-AD8C-45C8-AFF2-D76DB7AF2659}");

class ISBState : public IUnknown {};

class ISBJob : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE GetProperty(BSTR name, BSTR* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE BeginLiveUpdates(BSTR mask) = 0;
  virtual HRESULT STDMETHODCALLTYPE EndLiveUpdates(BSTR text) = 0;
};

class ISBJobTransfer : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE Download(BSTR source, BSTR destination, std::int32_t first,
                                             std::int32_t second) = 0;
};
CFX_DECLARE_IID(ISBJobTransfer, "{6CF8CDE8-1BA0-43FF-FE16-8DF5498F573E}");

class ISBManagedJob : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE GetClientFolder(BSTR* folder) = 0;
};

class ISBZarnServerJob : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE Initialize(ISBJobHost* host, ISBState* state, VARIANT argument,
                                               BSTR inputFolder) = 0;
  virtual HRESULT STDMETHODCALLTYPE AddInputFile(ISBUrl* file, BSTR name) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDocumentsFolder(BSTR* folder) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetJobText(BSTR text) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetJobFiles(ISBJobFiles** files) = 0;
};
CFX_DECLARE_IID(ISBZarnServerJob, "{A77752A6-3DCE-4541-BBAD-7FAC2BB424B2}");

// The class of the server job objects that CfxCreateImpl makes.
inline constexpr nsID CLSID_ZarnServerJob = nsIDFromText("{47376B53-F04A-422B-92BF-50B254AD15FA}");

class ISBJobFiles : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE GetName(BSTR* name) = 0;
  virtual HRESULT STDMETHODCALLTYPE CopyFiles(BSTR source, BSTR destination, std::int32_t flags, std::int32_t options,
                                              VARIANT first, VARIANT second, VARIANT third, VARIANT fourth,
                                              IUnknown** result) = 0;
};
