// Fakes of the project-side host interfaces: container, locations,
// documents and views. Scripted fields are public; absent entries give
// empty text, null objects or 0.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "fake_host/facet.h"
#include "host/project_interfaces.h"

namespace fakehost {

class FakeContainerRoot final : public FacetOf<ISBContainerRoot> {
 public:
  FakeContainerRoot() : FacetOf("ISBContainerRoot") {}
  Object* documentManager = nullptr;
  Object* environment = nullptr;
  Object* urlFactory = nullptr;
  Object* diskManager = nullptr;
  std::set<std::string> existingFiles;  // UTF-8 paths that FileExists finds
  Object* operation = nullptr;          // what CreateOperation gives

  HRESULT GetDocumentManager(ISBDocumentManager** out) override {
    return Answer(Line("GetDocumentManager"), out, documentManager);
  }
  HRESULT GetEnvironment(ISBEnvironment** out) override { return Answer(Line("GetEnvironment"), out, environment); }
  HRESULT GetUrlFactory(ISBUrlFactory** out) override { return Answer(Line("GetUrlFactory"), out, urlFactory); }
  HRESULT GetDiskManager(ISBDiskManager** out) override { return Answer(Line("GetDiskManager"), out, diskManager); }
  HRESULT FileExists(BSTR path, VARIANT_BOOL* out) override {
    const bool exists = existingFiles.contains(CfxWideToNarrow(View(path)));
    return Answer(Line("FileExists", path), out, exists ? VARIANT_TRUE : VARIANT_FALSE);
  }
  HRESULT CreateOperation(std::int32_t kind, BSTR name, IUnknown** out) override {
    return Answer(Line("CreateOperation", kind, name), out, operation);
  }
};

class FakeUrlFactory final : public FacetOf<ISBUrlFactory> {
 public:
  FakeUrlFactory() : FacetOf("ISBUrlFactory") {}
  std::map<CfxWString, Object*> urls;
  std::vector<CfxWString> hidden;  // every path SetHidden was given, in order

  HRESULT SetHidden(BSTR path, VARIANT_BOOL flag) override {
    return Run(Line("SetHidden", path, flag), [&] {
      hidden.push_back(Text(path));
      return S_OK;
    });
  }
  HRESULT CreateUrl(BSTR url, ISBUrl** out) override {
    return Answer(Line("CreateUrl", url), out, Lookup(urls, Text(url)));
  }
};

class FakeUrlServices final : public FacetOf<ISBUrlServices> {
 public:
  FakeUrlServices() : FacetOf("ISBUrlServices") {}
  std::map<const Object*, Object*> lists;  // location -> its list
  Object* list = nullptr;                  // for locations not in lists

  HRESULT ListUrls(ISBUrl* location, ISBUrlList** out) override {
    const auto found = lists.find(ObjectOf(location));
    return Answer(Line("ListUrls", location), out, found == lists.end() ? list : found->second);
  }
};

class FakeUrlList final : public FacetOf<ISBUrlList> {
 public:
  FakeUrlList() : FacetOf("ISBUrlList") {}
  std::vector<Object*> items;
  std::optional<std::int32_t> count;  // overrides items.size()

  HRESULT GetItem(std::int32_t index, ISBUrl** out) override {
    return Run(
        Line("GetItem", index),
        [&] {
          if (index < 1 || static_cast<std::size_t>(index) > items.size()) return E_INVALIDARG;
          return Give(out, items[static_cast<std::size_t>(index) - 1]);
        },
        out);
  }
  HRESULT GetCount(std::int32_t* out) override {
    return Answer(Line("GetCount"), out, count.value_or(static_cast<std::int32_t>(items.size())));
  }
};

class FakeUrl final : public FacetOf<ISBUrl> {
 public:
  FakeUrl() : FacetOf("ISBUrl") {}
  CfxWString fileName;
  CfxWString name;
  CfxWString query;  // the last SetQuery
  std::map<CfxWString, Object*> children;
  std::map<const Object*, CfxWString> relative;  // target -> relative URL text

  HRESULT GetFileName(BSTR* out) override { return Answer(Line("GetFileName"), out, fileName); }
  HRESULT GetName(BSTR* out) override { return Answer(Line("GetName"), out, name); }
  HRESULT SetQuery(BSTR text) override {
    return Run(Line("SetQuery", text), [&] {
      query = Text(text);
      return S_OK;
    });
  }
  HRESULT CreateChildUrl(BSTR path, ISBUrl** out) override {
    return Answer(Line("CreateChildUrl", path), out, Lookup(children, Text(path)));
  }
  HRESULT GetRelativeUrl(ISBUrl* target, BSTR* out) override {
    return Answer(Line("GetRelativeUrl", target), out, Lookup(relative, ObjectOf(target)));
  }
};

class FakeFileUrl final : public FacetOf<ISBFileUrl> {
 public:
  FakeFileUrl() : FacetOf("ISBFileUrl") {}
  CfxWString path;
  VARIANT_BOOL exists = VARIANT_FALSE;

  HRESULT GetFilePath(BSTR* out) override { return Answer(Line("GetFilePath"), out, path); }
  HRESULT Exists(VARIANT_BOOL* out) override { return Answer(Line("Exists"), out, exists); }
};

class FakeDocumentManager final : public FacetOf<ISBDocumentManager> {
 public:
  FakeDocumentManager() : FacetOf("ISBDocumentManager") {}
  std::map<const Object*, Object*> documents;  // location -> document
  std::map<const Object*, CfxWString> types;   // location -> type name

  HRESULT SaveDocument(ISBDocumentRoot* document, std::int32_t flags, VARIANT first, VARIANT second,
                       VARIANT target) override {
    return Run(Line("SaveDocument", document, flags, first, second, target));
  }
  HRESULT GetDocument(std::int32_t flags, ISBUrl* location, VARIANT first, VARIANT second, VARIANT third,
                      ISBDocumentRoot** out) override {
    return Answer(Line("GetDocument", flags, location, first, second, third), out,
                  Lookup(documents, ObjectOf(location)));
  }
  HRESULT GetDocumentType(ISBUrl* location, BSTR* out) override {
    return Answer(Line("GetDocumentType", location), out, Lookup(types, ObjectOf(location)));
  }
};

class FakeFileTypeProvider final : public FacetOf<ISBFileTypeProvider> {
 public:
  FakeFileTypeProvider() : FacetOf("ISBFileTypeProvider") {}
  Object* fileTypes = nullptr;

  HRESULT GetFileTypes(ISBFileTypes** out) override { return Answer(Line("GetFileTypes"), out, fileTypes); }
};

class FakeFileTypes final : public FacetOf<ISBFileTypes> {
 public:
  FakeFileTypes() : FacetOf("ISBFileTypes") {}
  std::map<CfxWString, std::vector<CfxWString>> dependents;  // extension -> dependent extensions
  // An answer without extensions comes as an allocated array of no strings
  // with a count of 0, instead of no array at all.
  bool emptyAsArray = false;
  // Opt-in: the library's CoTaskMemFree of each string is journaled as
  // `CoTaskMemFree("<text>")`, and that of the array as `CoTaskMemFree(array)`.
  bool journalFrees = false;

  HRESULT GetDependentExtensions(BSTR extension, LPOLESTR** out, std::int32_t* count) override {
    return Run(
        Line("GetDependentExtensions", extension),
        [&] { return GiveArray(Lookup(dependents, Text(extension)), out, count); }, out, count);
  }

 private:
  // A task-memory array of task-memory strings, as the caller frees them.
  HRESULT GiveArray(const std::vector<CfxWString>& texts, LPOLESTR** out, std::int32_t* count) const;
};

class FakeDocumentRoot final : public FacetOf<ISBDocumentRoot> {
 public:
  FakeDocumentRoot() : FacetOf("ISBDocumentRoot") {}
  Object* info = nullptr;

  HRESULT Show(std::int32_t show) override { return Run(Line("Show", show)); }
  HRESULT GetDocumentInfo(ISBDocumentInfo** out) override { return Answer(Line("GetDocumentInfo"), out, info); }
  HRESULT RegenerateDisplay(ISBContainerRoot* container) override { return Run(Line("RegenerateDisplay", container)); }
};

class FakeLockable final : public FacetOf<ISBLockable> {
 public:
  FakeLockable() : FacetOf("ISBLockable") {}
  std::map<CfxWString, int> locks;  // owner -> Lock calls less Unlock calls

  HRESULT Lock(BSTR owner) override {
    return Run(Line("Lock", owner), [&] {
      ++locks[Text(owner)];
      return S_OK;
    });
  }
  HRESULT Unlock(BSTR owner) override {
    return Run(Line("Unlock", owner), [&] {
      --locks[Text(owner)];
      return S_OK;
    });
  }
};

class FakeDocumentStorage final : public FacetOf<ISBDocumentStorage> {
 public:
  FakeDocumentStorage() : FacetOf("ISBDocumentStorage") {}
  VARIANT_BOOL isVirtual = VARIANT_FALSE;

  HRESULT IsVirtual(VARIANT_BOOL* out) override { return Answer(Line("IsVirtual"), out, isVirtual); }
};

class FakeDocumentInfo final : public FacetOf<ISBDocumentInfo> {
 public:
  FakeDocumentInfo() : FacetOf("ISBDocumentInfo") {}
  CfxWString path;

  HRESULT GetDocumentPath(BSTR* out) override { return Answer(Line("GetDocumentPath"), out, path); }
};

class FakeDiskManager final : public FacetOf<ISBDiskManager> {
 public:
  FakeDiskManager() : FacetOf("ISBDiskManager") {}
  CfxWString splitName;       // SplitPath's name
  CfxWString splitExtension;  // SplitPath's extension
  CfxWString madePath;        // MakePath's result

  HRESULT SplitPath(BSTR path, BSTR* drive, BSTR* folder, BSTR* name, BSTR* extension) override {
    return Run(
        Line("SplitPath", path),
        [&] {
          for (const HRESULT status : {Give(drive, OLESTR("")), Give(folder, OLESTR("")), Give(name, splitName),
                                       Give(extension, splitExtension)}) {
            if (FAILED(status)) return status;
          }
          return S_OK;
        },
        drive, folder, name, extension);
  }
  HRESULT MakePath(BSTR drive, BSTR folder, BSTR name, BSTR extension, BSTR* out) override {
    return Answer(Line("MakePath", drive, folder, name, extension), out, madePath);
  }
};

class FakeEnvironment final : public FacetOf<ISBEnvironment> {
 public:
  FakeEnvironment() : FacetOf("ISBEnvironment") {}
  std::map<CfxWString, CfxWString> expanded;  // text -> expansion; others stay as they are

  HRESULT ExpandVariables(BSTR text, BSTR* out) override {
    const auto found = expanded.find(Text(text));
    return Answer(Line("ExpandVariables", text), out, found == expanded.end() ? Text(text) : found->second);
  }
};

class FakeViewHost final : public FacetOf<ISBViewHost> {
 public:
  FakeViewHost() : FacetOf("ISBViewHost") {}
  Object* viewManager = nullptr;

  HRESULT GetViewManager(ISBViewManager** out) override { return Answer(Line("GetViewManager"), out, viewManager); }
};

class FakeViewManager final : public FacetOf<ISBViewManager> {
 public:
  FakeViewManager() : FacetOf("ISBViewManager") {}
  Object* view = nullptr;

  HRESULT OpenView(ISBDocumentRoot* document, IUnknown** out) override {
    return Answer(Line("OpenView", document), out, view);
  }
};

}  // namespace fakehost
