// The demo's sample project: a job template, a study table with its
// companion folder, a model with dependent files, scratch files to hide and
// a virtual document.
#pragma once

#include <string>

#include "localhost/local_host.h"

namespace zarnjob::demo {

inline constexpr const char* kTemplate = "Templates/fit.tpl";
inline constexpr const char* kStudyTable = "Tables/Growth.std";
inline constexpr const char* kCompanionEscaped = "Growth%20Files";
inline constexpr const char* kScratch = "Scratch/";
inline constexpr const char* kVirtualDocument = "Reports/overview.rpt";

// The folder for the sample: `requested` made if missing, which must be
// empty if it exists; or, when empty, a new temporary folder.
std::string PrepareFolder(const std::string& requested);

// Writes the sample's files into an empty folder (plain files, before the
// project is opened).
void WriteSampleFiles(const std::string& folder);

// What the host keeps itself: the virtual document.
void AddHostContent(const zarnlocal::Project& project);

}  // namespace zarnjob::demo
