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
  virtual HRESULT GetDocumentManager(ISBDocumentManager** manager) = 0;
  virtual HRESULT GetEnvironment(ISBEnvironment** environment) = 0;
  virtual HRESULT GetUrlFactory(ISBUrlFactory** factory) = 0;
  // stand-in
  virtual HRESULT GetDiskManager(ISBDiskManager** manager) = 0;
  virtual HRESULT FileExists(BSTR path, VARIANT_BOOL* exists) = 0;
  virtual HRESULT CreateOperation(std::int32_t kind, BSTR name, IUnknown** operation) = 0;
};

class ISBUrlFactory : public IUnknown {
 public:
  virtual HRESULT SetHidden(BSTR path, VARIANT_BOOL hidden) = 0;
  virtual HRESULT CreateUrl(BSTR url, ISBUrl** location) = 0;
};

class ISBUrlServices : public IUnknown {
 public:
  CFX_DECLARE_IID(ISBUrlServices, "{2A3D85ED-0C31-F2FC-F0F7-49EEBF134F8D}");
  virtual HRESULT ListUrls(ISBUrl* location, ISBUrlList** list) = 0;
};

class ISBUrlList : public IUnknown {
 public:
  virtual HRESULT GetItem(std::int32_t index, ISBUrl** location) = 0;  // index from 1
  virtual HRESULT GetCount(std::int32_t* count) = 0;
};

class ISBUrl : public IUnknown {
 public:
  virtual HRESULT GetFileName(BSTR* fileName) = 0;
  virtual HRESULT GetName(BSTR* name) = 0;
  virtual HRESULT SetQuery(BSTR query) = 0;
  virtual HRESULT CreateChildUrl(BSTR relativePath, ISBUrl** location) = 0;
  virtual HRESULT GetRelativeUrl(ISBUrl* target, BSTR* relativeUrl) = 0;
};

class ISBFileUrl : public IUnknown {
 public:
  CFX_DECLARE_IID(ISBFileUrl, "{1B9CE360-B200-483A-A319-AD51D5C39C1F}");
  virtual HRESULT GetFilePath(BSTR* path) = 0;
  virtual HRESULT Exists(VARIANT_BOOL* exists) = 0;
};

class ISBDocumentManager : public IUnknown {
 public:
  virtual HRESULT SaveDocument(ISBDocumentRoot* document, std::int32_t flags, VARIANT first, VARIANT second,
                               VARIANT target) = 0;
  virtual HRESULT GetDocument(std::int32_t flags, ISBUrl* location, VARIANT first, VARIANT second, VARIANT third,
                              ISBDocumentRoot** document) = 0;
  virtual HRESULT GetDocumentType(ISBUrl* location, BSTR* typeName) = 0;
};

class ISBFileTypeProvider : public IUnknown {
 public:
  CFX_DECLARE_IID(ISBFileTypeProvider, "{D4620F93-E556-93B1-20F6-5CE115B0DC0A}");
  virtual HRESULT GetFileTypes(ISBFileTypes** fileTypes) = 0;
};

class ISBFileTypes : public IUnknown {
 public:
  // The array and each string are task memory (CoTaskMemAlloc) that the caller frees.
  virtual HRESULT GetDependentExtensions(BSTR extension, LPOLESTR** extensions, std::int32_t* count) = 0;
};

class ISBDocumentRoot : public IUnknown {
 public:
  virtual HRESULT Show(std::int32_t show) = 0;
  // stand-in
  virtual HRESULT GetDocumentInfo(ISBDocumentInfo** info) = 0;
  virtual HRESULT RegenerateDisplay(ISBContainerRoot* container) = 0;
};

class ISBLockable : public IUnknown {
 public:
  CFX_DECLARE_IID(ISBLockable, "{D4620F88-E556-93B1-20F6-5CE115B0DC0A}");
  virtual HRESULT Lock(BSTR owner) = 0;
  virtual HRESULT Unlock(BSTR owner) = 0;
};

class ISBDocumentStorage : public IUnknown {
 public:
  CFX_DECLARE_IID(ISBDocumentStorage, "{16307EAB-AED8-62C0-8085-E227F363E8DF}");
  virtual HRESULT IsVirtual(VARIANT_BOOL* isVirtual) = 0;
};

class ISBDocumentInfo : public IUnknown {
 public:
  virtual HRESULT GetDocumentPath(BSTR* path) = 0;
};

class ISBDiskManager : public IUnknown {
 public:
  // Null output slots are not filled.
  virtual HRESULT SplitPath(BSTR path, BSTR* drive, BSTR* folder, BSTR* name, BSTR* extension) = 0;
  virtual HRESULT MakePath(BSTR drive, BSTR folder, BSTR name, BSTR extension, BSTR* path) = 0;
};

class ISBEnvironment : public IUnknown {
 public:
  virtual HRESULT ExpandVariables(BSTR text, BSTR* expanded) = 0;
};

class ISBViewHost : public IUnknown {
 public:
  CFX_DECLARE_IID(ISBViewHost, "{AB22E891-C363-11D5-812D-005004D02F6F}");
  virtual HRESULT GetViewManager(ISBViewManager** manager) = 0;
};

class ISBViewManager : public IUnknown {
 public:
  virtual HRESULT OpenView(ISBDocumentRoot* document, IUnknown** view) = 0;
};
