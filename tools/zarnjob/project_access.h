// The tool's own ways into the project: locations, jobs and documents that
// it hands to the library, and paths it prints. These host calls are the
// tool's, made outside Context::Library, so they are never traced.
#pragma once

#include <string>

#include "host/com_ptr.h"
#include "host/job_interfaces.h"
#include "host/project_interfaces.h"
#include "localhost/local_host.h"

namespace zarnjob {

// A location of the project; a text that names something outside the
// project folder raises E_INVALIDARG before the library sees it.
CfxComPtr<ISBUrl> ProjectLocation(const zarnlocal::Project& project, const std::string& text);

// The same location listing only documents: its folders are left out of
// the listing (Folders=No), and with `recursive` the documents in its
// subfolders are listed too (Recursive=Yes); a query of the text's own is
// kept before them.
CfxComPtr<ISBUrl> DocumentsUnder(const zarnlocal::Project& project, const std::string& text, bool recursive);

// The job of the project's server with that id; raises "no such job".
zarnlocal::ServerJob JobOf(const zarnlocal::Project& project, const std::string& id);

// The document at a location of the project; raises when there is none.
CfxComPtr<ISBDocumentRoot> DocumentAt(const zarnlocal::Project& project, const std::string& location);

// The file-system path of a location, and of a document.
std::string FilePathOf(ISBUrl* location);
std::string DocumentPathOf(ISBDocumentRoot* document);

// A path inside the project as a path relative to it; others as they are.
std::string RelativeToProject(const zarnlocal::Project& project, const std::string& path);

}  // namespace zarnjob
