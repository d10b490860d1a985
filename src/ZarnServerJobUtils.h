// ZarnServerJobUtils: job and document utilities for running jobs on the
// Corvane Server.
//
// Every function runs on the caller's thread. Pointer arguments are borrowed:
// the caller keeps its references, the library takes its own only for the
// length of the call and releases them before it returns or raises. Returned
// CfxComPtr and CfxBSTR values belong to the caller.
//
// Every failure is raised as CfxResult: a missing required argument as
// E_INVALIDARG with a fixed message, a failing host operation as the host's
// last error. The library's own strings raise std::bad_alloc and
// std::length_error. Host operations that completed before a failure are
// not undone.
#pragma once

#include <cstdint>
#include <string>

#include "host/bstr.h"
#include "host/com_ptr.h"
#include "host/job_interfaces.h"
#include "host/project_interfaces.h"
#include "host/variant.h"
#include "zarn_export.h"
#include "zarn_version.h"

namespace AppUtils::Document {

// Job preparation.
ZARN_EXPORT CfxComPtr<ISBZarnServerJob> CreateZarnServerJob(const CfxVariant& jobArgument, ISBState* templateState,
                                                            const std::string& jobText, ISBContainerRoot* root,
                                                            bool useInputFolder);
ZARN_EXPORT CfxBSTR ServerDocumentsFolder(ISBZarnServerJob* job, ISBContainerRoot* root);
ZARN_EXPORT void AddStudyTableToJob(ISBZarnServerJob* job, ISBUrl* studyTable, ISBContainerRoot* root,
                                    ISBUrl* relativeTo, bool useFileAreaName, bool stageInInput);
ZARN_EXPORT std::string UnescapeRFC1738(std::string text);

// Server file access.
ZARN_EXPORT std::string ReadTemplate(const std::string& location, ISBContainerRoot* root);
ZARN_EXPORT CfxComPtr<ISBUrl> DeduceClientUrl(const std::string& serverPath, ISBManagedJob* job,
                                              ISBContainerRoot* root);
ZARN_EXPORT void DownloadFile(const CfxBSTR& source, ISBUrl* destination, ISBJob* job);
ZARN_EXPORT void StartLiveUpdates(ISBJob* job);
ZARN_EXPORT void StopLiveUpdates(ISBJob* job);

// Client documents.
ZARN_EXPORT CfxComPtr<ISBDocumentRoot> ImportAndView(ISBUrl* location, bool openView, ISBContainerRoot* container);
ZARN_EXPORT void RefreshResults(ISBUrl* location, bool openView, ISBContainerRoot* container);
ZARN_EXPORT void SetDocumentLock(ISBUrl* location, bool lock, ISBContainerRoot* container);
ZARN_EXPORT CfxBSTR GetPathToRealFile(ISBDocumentRoot* document, ISBContainerRoot* container);

// File hiding.
ZARN_EXPORT void HideFiles(ISBUrl* files, ISBContainerRoot* container);
ZARN_EXPORT void HideDependentFiles(ISBUrl* files, ISBContainerRoot* container, bool recursive);

}  // namespace AppUtils::Document

// The text of a message identifier, or null when there is none.
extern "C" ZARN_EXPORT const char* ID2MessageString(std::int32_t id);
