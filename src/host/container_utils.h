// The host's sibling utility libraries: container, document and path utilities.
//
// Each raises CfxResult on failure (a failing host status is stored as the
// last error and raised); a null object argument raises the null-dereference
// result.
#pragma once

#include <cstdint>
#include <string>

#include "host/com_ptr.h"
#include "host/host_api.h"
#include "host/project_interfaces.h"

namespace AppUtils::Container {
APPUTILS_API CfxComPtr<ISBDocumentManager> GetDocumentManager(ISBContainerRoot* container);
APPUTILS_API CfxComPtr<ISBDiskManager> GetDiskManager(ISBContainerRoot* container);
APPUTILS_API CfxComPtr<ISBDocumentInfo> GetDocumentInfo(ISBDocumentRoot* document);
APPUTILS_API bool FileExists(const std::string& path, ISBContainerRoot* container);
// An operation of the host's operation manager; it lasts until released.
APPUTILS_API CfxComPtr<IUnknown> CreateOperation(ISBContainerRoot* container, std::int32_t kind, std::string name);
}  // namespace AppUtils::Container

namespace AppUtils::Document {
APPUTILS_API void RegenerateDisplay(ISBDocumentRoot* document, ISBContainerRoot* container);
}  // namespace AppUtils::Document

namespace Paths {
// True and the extension (with or without its leading dot) when the path has one.
APPUTILS_API bool Extension(const std::string& path, std::string& extension);
// The path with its extension replaced by `extension`, which begins with ".".
APPUTILS_API std::string ReplaceExtension(const std::string& path, const std::string& extension);
}  // namespace Paths
