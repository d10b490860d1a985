// Locations, their listing and the URL factory.
#include <algorithm>
#include <filesystem>

#include "localhost/file_system.h"
#include "localhost/project_objects.h"

namespace zarnlocal {
namespace {

namespace fs = std::filesystem;

// Lists one folder into `listing`; gives false when the folder itself
// cannot be listed (said in the listing's problems).
bool ListFolder(const ProjectState& project, const std::string& folder, const Location& location, Listing& listing) {
  struct Entry {
    std::string name;
    bool isFolder;
    bool walk;  // a link to a folder is listed but not walked into: no cycles
    bool operator<(const Entry& other) const { return name < other.name; }
  };
  std::vector<Entry> entries;
  std::error_code error;
  for (fs::directory_iterator it(NativePath(folder), error), end; !error && it != end; it.increment(error)) {
    const std::string name = PathText(it->path().filename());
    const std::string path = JoinPath(folder, name);
    if (project.IsOwnFolder(path)) continue;  // temporaries live there too
    if (const std::string problem = PathLengthProblem(path); !problem.empty()) {
      listing.problems.push_back("the path is too long for this system (" + problem + "): " + path);
      continue;
    }
    std::error_code kindError;
    const bool isFolder = it->is_directory(kindError);
    entries.push_back({name, isFolder, isFolder && !it->is_symlink(kindError)});
  }
  if (error) {
    listing.problems.push_back("cannot list the folder " + folder + ": " + error.message());
    return false;
  }
  std::sort(entries.begin(), entries.end());
  const bool recursive = location.Recursive();
  const bool folders = location.ListsFolders();
  for (const Entry& found : entries) {
    Location entry;
    entry.path = JoinPath(folder, found.name);
    entry.folder = found.isFolder;
    if (folders || !found.isFolder) listing.entries.push_back(entry);
    if (recursive && found.walk) ListFolder(project, entry.path, location, listing);
  }
  return true;
}

}  // namespace

Listing ListLocation(const ProjectState& project, const Location& location) {
  project.RequireNotHostOwn(location.path, "the listing of");
  std::error_code error;
  const fs::file_status status = fs::status(NativePath(location.path), error);
  const bool folder = fs::is_directory(status);
  if (!folder && (location.folder || location.wildcard)) Fail(E_FILE_NOT_FOUND, "no such folder: " + location.path);
  if (!fs::exists(status)) FailNoSuchFile(location.path);
  if (!folder) return {{Location{location.path, false, false, {}}}, {}};
  Listing listing;
  if (!ListFolder(project, location.path, location, listing)) Fail(E_FAIL, listing.problems.back());
  return listing;
}

Location LocationOf(ISBUrl* url, const char* what) {
  if (!url) Fail(E_POINTER, std::string("no ") + what + " was given");
  const auto* local = LocalOf<UrlObject>(url);
  if (!local) Fail(E_INVALIDARG, std::string("the ") + what + " is not a location of the local host");
  return local->Value();
}

// ---- UrlFactoryObject ------------------------------------------------------

void* UrlFactoryObject::InterfaceFor(const nsID& iid) noexcept {
  if (iid == InterfaceIdOf<IUnknown>) return static_cast<ISBUrlFactory*>(this);
  if (iid == InterfaceIdOf<ISBUrlServices>) return static_cast<ISBUrlServices*>(this);
  return nullptr;
}

std::string UrlFactoryObject::Describe() const { return "<url factory " + project_->Folder() + ">"; }

HRESULT UrlFactoryObject::SetHidden(BSTR path, VARIANT_BOOL hidden) {
  return Entry(
      "ISBUrlFactory", "SetHidden",
      [&] {
        const std::string resolved = project_->Resolve(Narrow(path));
        const std::string relative = project_->RelativeOrFail(resolved);
        // A link you placed may be hidden wherever it leads.
        project_->RequireNotHostOwn(resolved, "hiding", true);
        if (relative.empty()) Fail(E_INVALIDARG, "the project folder itself cannot be hidden: " + resolved);
        std::error_code error;
        if (hidden != VARIANT_FALSE && !fs::exists(fs::symlink_status(NativePath(resolved), error)))
          FailNoSuchFile(resolved);
        project_->View().SetHidden(relative, hidden != VARIANT_FALSE);
        return S_OK;
      },
      path, hidden);
}

HRESULT UrlFactoryObject::CreateUrl(BSTR url, ISBUrl** location) {
  if (location) *location = nullptr;
  return Entry(
      "ISBUrlFactory", "CreateUrl",
      [&] {
        RequireSlot(location, "the location");
        GiveObject<ISBUrl>(location, new UrlObject(project_, project_->Parse(Narrow(url))));
        return S_OK;
      },
      url);
}

HRESULT UrlFactoryObject::ListUrls(ISBUrl* location, ISBUrlList** list) {
  if (list) *list = nullptr;
  return Entry(
      "ISBUrlServices", "ListUrls",
      [&] {
        RequireSlot(list, "the list");
        Listing listing = ListLocation(*project_, LocationOf(location, "location to list"));
        GiveObject<ISBUrlList>(list, new UrlListObject(project_, std::move(listing.entries)));
        if (listing.problems.empty()) return S_OK;
        std::string left;
        for (const std::string& problem : listing.problems) left += (left.empty() ? "" : "\n") + problem;
        return SucceedWithNote(left);
      },
      location);
}

// ---- UrlObject -------------------------------------------------------------

void* UrlObject::InterfaceFor(const nsID& iid) noexcept {
  if (iid == InterfaceIdOf<IUnknown>) return static_cast<ISBUrl*>(this);
  if (iid == InterfaceIdOf<ISBFileUrl>) return static_cast<ISBFileUrl*>(this);
  return nullptr;
}

Location UrlObject::Value() const {
  std::lock_guard lock(mutex_);
  return location_;
}

std::string UrlObject::Describe() const { return "<" + Value().Text() + ">"; }

HRESULT UrlObject::GetFileName(BSTR* fileName) {
  if (fileName) *fileName = nullptr;
  return Entry("ISBUrl", "GetFileName", [&] {
    RequireSlot(fileName, "the file name");
    GiveText(fileName, Value().FileName());
    return S_OK;
  });
}

HRESULT UrlObject::GetName(BSTR* name) {
  if (name) *name = nullptr;
  return Entry("ISBUrl", "GetName", [&] {
    RequireSlot(name, "the name");
    GiveText(name, Value().Name());
    return S_OK;
  });
}

HRESULT UrlObject::SetQuery(BSTR query) {
  return Entry(
      "ISBUrl", "SetQuery",
      [&] {
        std::string text = Narrow(query);
        if (!text.empty() && text.front() == '?') text.erase(0, 1);
        std::lock_guard lock(mutex_);
        location_.query = std::move(text);
        return S_OK;
      },
      query);
}

HRESULT UrlObject::CreateChildUrl(BSTR relativePath, ISBUrl** location) {
  if (location) *location = nullptr;
  return Entry(
      "ISBUrl", "CreateChildUrl",
      [&] {
        RequireSlot(location, "the location");
        GiveObject<ISBUrl>(location, new UrlObject(project_, Value().Child(Narrow(relativePath))));
        return S_OK;
      },
      relativePath);
}

HRESULT UrlObject::GetRelativeUrl(ISBUrl* target, BSTR* relativeUrl) {
  if (relativeUrl) *relativeUrl = nullptr;
  return Entry(
      "ISBUrl", "GetRelativeUrl",
      [&] {
        RequireSlot(relativeUrl, "the relative URL");
        const Location to = LocationOf(target, "target location");
        GiveText(relativeUrl, Value().RelativeUrl(to));
        return S_OK;
      },
      target);
}

HRESULT UrlObject::GetFilePath(BSTR* path) {
  if (path) *path = nullptr;
  return Entry("ISBFileUrl", "GetFilePath", [&] {
    RequireSlot(path, "the path");
    GiveText(path, Value().FilePath());
    return S_OK;
  });
}

HRESULT UrlObject::Exists(VARIANT_BOOL* exists) {
  if (exists) *exists = VARIANT_FALSE;
  return Entry("ISBFileUrl", "Exists", [&] {
    RequireSlot(exists, "the answer");
    const Location location = Value();
    std::error_code error;
    const fs::file_status status = fs::status(NativePath(location.path), error);
    const bool found = location.wildcard ? fs::is_directory(status) : fs::exists(status);
    *exists = found ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  });
}

// ---- UrlListObject ---------------------------------------------------------

void* UrlListObject::InterfaceFor(const nsID& iid) noexcept {
  return iid == InterfaceIdOf<IUnknown> ? static_cast<ISBUrlList*>(this) : nullptr;
}

std::string UrlListObject::Describe() const { return "<list of " + std::to_string(entries_.size()) + ">"; }

HRESULT UrlListObject::GetItem(std::int32_t index, ISBUrl** location) {
  if (location) *location = nullptr;
  return Entry(
      "ISBUrlList", "GetItem",
      [&] {
        RequireSlot(location, "the location");
        if (index < 1 || static_cast<std::size_t>(index) > entries_.size()) {
          Fail(E_INVALIDARG, "list index " + std::to_string(index) + " is out of range: the list holds " +
                                 std::to_string(entries_.size()) + " entries, counted from 1");
        }
        GiveObject<ISBUrl>(location, new UrlObject(project_, entries_[static_cast<std::size_t>(index) - 1]));
        return S_OK;
      },
      index);
}

HRESULT UrlListObject::GetCount(std::int32_t* count) {
  if (count) *count = 0;
  return Entry("ISBUrlList", "GetCount", [&] {
    RequireSlot(count, "the count");
    *count = static_cast<std::int32_t>(entries_.size());
    return S_OK;
  });
}

}  // namespace zarnlocal
