// Host interfaces of the project side: container, locations, documents, views.
//
// Every operation returns a status and gives its results through out slots.
// In: texts are host strings (a null BSTR is empty). Out: a BSTR slot
// receives a string the caller frees; an interface slot receives a reference
// the caller releases. Operations stand in slot order. Operations after a
// "stand-in" comment are the platform's own, used by the container utilities.
#pragma once

#include <cstdint>

#include "host/bstr.h"
#include "host/status.h"
#include "host/unknown.h"
#include "host/variant.h"

class ISBDocumentManager;
class ISBEnvironment;
class ISBUrlFactory;
class ISBDiskManager;
class ISBUrl;
class ISBUrlList;
class ISBFileTypes;
class ISBDocumentRoot;
class ISBDocumentInfo;
class ISBViewManager;

class ISBContainerRoot : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE GetDocumentManager(ISBDocumentManager** manager) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetEnvironment(ISBEnvironment** environment) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetUrlFactory(ISBUrlFactory** factory) = 0;
  // stand-in
  virtual HRESULT STDMETHODCALLTYPE GetDiskManager(ISBDiskManager** manager) = 0;
  virtual HRESULT STDMETHODCALLTYPE FileExists(BSTR path, VARIANT_BOOL* exists) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateOperation(std::int32_t kind, BSTR name, IUnknown** operation) = 0;
};

class ISBUrlFactory : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE SetHidden(BSTR path, VARIANT_BOOL hidden) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateUrl(BSTR url, ISBUrl** location) = 0;
};

class ISBUrlServices : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE ListUrls(ISBUrl* location, ISBUrlList** list) = 0;
};
CFX_DECLARE_IID(ISBUrlServices, "{2A3D85ED-0C31-F2FC-F0F7-49EEBF134F8D}");

class ISBUrlList : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE GetItem(std::int32_t index, ISBUrl** location) = 0;  // index from 1
  virtual HRESULT STDMETHODCALLTYPE GetCount(std::int32_t* count) = 0;
};

class ISBUrl : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE GetFileName(BSTR* fileName) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetName(BSTR* name) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetQuery(BSTR query) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateChildUrl(BSTR relativePath, ISBUrl** location) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRelativeUrl(ISBUrl* target, BSTR* relativeUrl) = 0;
};

class ISBFileUrl : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE GetFilePath(BSTR* path) = 0;
  virtual HRESULT STDMETHODCALLTYPE Exists(VARIANT_BOOL* exists) = 0;
};
CFX_DECLARE_IID(ISBFileUrl, "{1B9CE360-B200-483A-A319-AD51D5C39C1F}");

class ISBDocumentManager : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE SaveDocument(ISBDocumentRoot* document, std::int32_t flags, VARIANT first,
                                                 VARIANT second, VARIANT target) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDocument(std::int32_t flags, ISBUrl* location, VARIANT first, VARIANT second,
                                                VARIANT third, ISBDocumentRoot** document) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDocumentType(ISBUrl* location, BSTR* typeName) = 0;
};

class ISBFileTypeProvider : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE GetFileTypes(ISBFileTypes** fileTypes) = 0;
};
CFX_DECLARE_IID(ISBFileTypeProvider, "{D4620F93-E556-93B1-20F6-5CE115B0DC0A}");

class ISBFileTypes : public IUnknown {
 public:
  // The array and each string are task memory (CoTaskMemAlloc) that the caller frees.
  virtual HRESULT STDMETHODCALLTYPE GetDependentExtensions(BSTR extension, LPOLESTR** extensions,
                                                           std::int32_t* count) = 0;
};

class ISBDocumentRoot : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE Show(std::int32_t show) = 0;
  // stand-in
  virtual HRESULT STDMETHODCALLTYPE GetDocumentInfo(ISBDocumentInfo** info) = 0;
  virtual HRESULT STDMETHODCALLTYPE RegenerateDisplay(ISBContainerRoot* container) = 0;
};

class ISBLockable : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE Lock(BSTR owner) = 0;
  virtual HRESULT STDMETHODCALLTYPE Unlock(BSTR owner) = 0;
};
CFX_DECLARE_IID(ISBLockable, "{D4620F88-E556-93B1-20F6-5CE115B0DC0A}");

class ISBDocumentStorage : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE IsVirtual(VARIANT_BOOL* isVirtual) = 0;
};
CFX_DECLARE_IID(ISBDocumentStorage, "{16307EAB-AED8-62C0-8085-E227F363E8DF}");

class ISBDocumentInfo : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE GetDocumentPath(BSTR* path) = 0;
};

class ISBDiskManager : public IUnknown {
 public:
  // Null output slots are not filled.
  virtual HRESULT STDMETHODCALLTYPE SplitPath(BSTR path, BSTR* drive, BSTR* folder, BSTR* name, BSTR* extension) = 0;
  virtual HRESULT STDMETHODCALLTYPE MakePath(BSTR drive, BSTR folder, BSTR name, BSTR extension, BSTR* path) = 0;
};

class ISBEnvironment : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE ExpandVariables(BSTR text, BSTR* expanded) = 0;
};

class ISBViewHost : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE GetViewManager(ISBViewManager** manager) = 0;
};
CFX_DECLARE_IID(ISBViewHost, "{AB22E891-C363-11D5-812D-005004D02F6F}");

class ISBViewManager : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE OpenView(ISBDocumentRoot* document, IUnknown** view) = 0;
};
