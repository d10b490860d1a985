// A project for the document tests: a container that is (unless told
// otherwise) also a view host, with its document manager, view manager,
// operation and URL services, and a folder whose listing a test fills.
#pragma once

#include <string>
#include <vector>

#include "fake_host/host.h"

namespace documents_test {

using namespace fakehost;
using Lines = std::vector<std::string>;

// A listed location and the document the manager has for it (or null).
struct Entry {
  Object& url;
  Object* doc;
};

struct Project {
  Host host;
  Object& root = host.Make("root");
  Object& manager = host.Make("manager");
  Object& views = host.Make("views");
  Object& view = host.Make("view");
  Object& operation = host.Make("operation");
  Object& factory = host.Make("factory");
  Object& list = host.Make("list");
  Object& folder = host.Make("folder");

  explicit Project(bool viewHost = true) {
    auto& container = root.Add<FakeContainerRoot>();
    container.documentManager = &manager;
    container.urlFactory = &factory;
    container.operation = &operation;
    if (viewHost) root.Add<FakeViewHost>().viewManager = &views;
    manager.Add<FakeDocumentManager>();
    views.Add<FakeViewManager>().view = &view;
    view.Add<FakeUnknown>();
    // Its release is journaled, so the tests see how long the operation is held.
    operation.Add<FakeUnknown>();
    operation.journalFinalRelease = true;
    factory.Add<FakeUrlFactory>();
    factory.Add<FakeUrlServices>().list = &list;
    list.Add<FakeUrlList>();
    folder.Add<FakeUrl>();
  }

  // A location with a document named `doc` ("" for none), listed under the folder.
  Entry Add(const std::string& url, const std::string& doc, bool lockable = true) {
    Object& location = host.Make(url);
    location.Add<FakeUrl>();
    list.Get<FakeUrlList>().items.push_back(&location);
    if (doc.empty()) return {location, nullptr};
    Object& document = host.Make(doc);
    document.Add<FakeDocumentRoot>();
    if (lockable) document.Add<FakeLockable>();
    manager.Get<FakeDocumentManager>().documents[&location] = &document;
    return {location, &document};
  }

  ISBContainerRoot* Root() const { return root.As<ISBContainerRoot>(); }
  ISBUrl* Folder() const { return folder.As<ISBUrl>(); }
};

// Lock calls less Unlock calls under the server's owner label.
inline int ServerLocks(const Object& doc) {
  const auto& locks = doc.Get<FakeLockable>().locks;
  const auto found = locks.find(OLESTR("Corvane Server"));
  return found == locks.end() ? 0 : found->second;
}

inline void Append(Lines& lines, const Lines& more) { lines.insert(lines.end(), more.begin(), more.end()); }

// The host calls of one ImportAndView of a lockable document that succeeds.
inline Lines ImportLines(const std::string& url, const std::string& doc, bool openView) {
  return {
      "root.QueryInterface(ISBViewHost)",
      "root.ISBContainerRoot.GetDocumentManager()",
      "manager.ISBDocumentManager.GetDocument(16, " + url + ", empty, empty, empty)",
      doc + ".QueryInterface(ISBLockable)",
      doc + ".ISBLockable.Unlock(\"Corvane Server\")",
      "root.ISBContainerRoot.CreateOperation(3, \"Import live update document\")",
      doc + ".ISBDocumentRoot.RegenerateDisplay(root)",
      "operation.Release()",
      "manager.ISBDocumentManager.SaveDocument(" + doc + ", 0, empty, empty, empty)",
      "root.ISBViewHost.GetViewManager()",
      openView ? "views.ISBViewManager.OpenView(" + doc + ")" : doc + ".ISBDocumentRoot.Show(-1)",
      doc + ".QueryInterface(ISBLockable)",
      doc + ".ISBLockable.Lock(\"Corvane Server\")",
  };
}

// The host calls that list the folder and ask the count.
inline Lines ListingLines() {
  return {
      "root.ISBContainerRoot.GetUrlFactory()",
      "factory.QueryInterface(ISBUrlServices)",
      "factory.ISBUrlServices.ListUrls(folder)",
      "list.ISBUrlList.GetCount()",
  };
}

}  // namespace documents_test
