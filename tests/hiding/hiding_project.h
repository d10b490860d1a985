// A scripted project for the hiding tests: a container whose URL factory also
// lists, a folder location that lists `list`, and a document manager with a
// file-type registry. Entries are added with their file paths.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "fake_host/host.h"

namespace hidingtest {

using fakehost::FakeContainerRoot;
using fakehost::FakeDocumentManager;
using fakehost::FakeFileTypeProvider;
using fakehost::FakeFileTypes;
using fakehost::FakeFileUrl;
using fakehost::FakeUrl;
using fakehost::FakeUrlFactory;
using fakehost::FakeUrlList;
using fakehost::FakeUrlServices;
using fakehost::Host;
using fakehost::Object;

using Journal = std::vector<std::string>;

struct Project {
  Host host;
  Object& container = host.Make("container");
  Object& factory = host.Make("factory");
  Object& folder = host.Make("folder");
  Object& list = host.Make("list");
  Object& documents = host.Make("documents");
  Object& types = host.Make("types");

  Project() {
    auto& root = container.Add<FakeContainerRoot>();
    root.urlFactory = &factory;
    root.documentManager = &documents;
    factory.Add<FakeUrlFactory>();
    factory.Add<FakeUrlServices>().list = &list;
    folder.Add<FakeUrl>();
    list.Add<FakeUrlList>();
    documents.Add<FakeDocumentManager>();
    documents.Add<FakeFileTypeProvider>().fileTypes = &types;
    types.Add<FakeFileTypes>();
  }

  // A location with a file view, not listed anywhere yet.
  Object& Location(const std::string& name, CfxWString path) {
    Object& location = host.Make(name);
    location.Add<FakeUrl>().name = CfxWString(name.begin(), name.end());
    location.Add<FakeFileUrl>().path = std::move(path);
    return location;
  }
  // A location appended to the folder's listing.
  Object& Entry(const std::string& name, CfxWString path) {
    Object& entry = Location(name, std::move(path));
    list.Get<FakeUrlList>().items.push_back(&entry);
    return entry;
  }

  ISBUrl* Folder() const { return folder.As<ISBUrl>(); }
  ISBContainerRoot* Container() const { return container.As<ISBContainerRoot>(); }
  const std::vector<CfxWString>& Hidden() const { return factory.Get<FakeUrlFactory>().hidden; }
  CfxWString FolderQuery() const { return folder.Get<FakeUrl>().query; }
};

// Runs `call` and gives the code it raised, or S_OK when it returned.
inline HRESULT CodeOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const CfxResult& result) {
    return result.Code();
  }
  return S_OK;
}

}  // namespace hidingtest
