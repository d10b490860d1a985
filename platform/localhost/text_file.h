// The plain-text files the local host keeps its state in, and safe writes.
//
// Every state file is a list of lines; '#' lines are comments. A field that
// could hold a tab, a line break or a backslash is written with the escapes
// \t, \n and \\ so that one record stays one line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zarnlocal {

// The whole file, or nothing when it does not exist. Throws CfxResult when it
// exists but cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Writes the bytes to a temporary file in the folder `scratch` (one of the
// host's own, on the same file system; empty: the folder of `path`) and
// renames it over `path`, so readers see the old content or the new one,
// never a part. The new file keeps the mode (and owner, where the process
// may set it) of the one it replaces. Creates missing parent folders. The
// first write into a scratch folder in a process removes the temporaries
// that dead writers left there (state_lock.h). Throws CfxResult; leaves
// nothing behind.
void WriteFileAtomically(const std::string& path, std::string_view bytes, const std::string& scratch);

// Copies a file the same way: `to` is complete or untouched.
void CopyFileAtomically(const std::string& from, const std::string& to, const std::string& scratch);

// The real location of a path: the symbolic links of the part that exists
// resolved, the rest appended as it stands. Throws CfxResult when the part
// that exists cannot be resolved.
std::string RealLocation(const std::string& path);
// Where a file written at `path` really lands: the real location of its
// folder, then its own name (a link in its place is replaced, not followed).
std::string RealDestination(const std::string& path);

// The lines of a text, without their line ends; a last line without one counts.
std::vector<std::string> SplitLines(std::string_view text);

std::string EscapeField(std::string_view field);
std::string UnescapeField(std::string_view field);

// Records of tab-separated, escaped fields; comments and blank lines skipped.
std::vector<std::vector<std::string>> ReadRecords(const std::string& path);
void WriteRecords(const std::string& path, std::string_view header,
                  const std::vector<std::vector<std::string>>& records, const std::string& scratch);

// "key = value" settings in file order; values escaped like fields.
using Settings = std::vector<std::pair<std::string, std::string>>;
Settings ReadSettings(const std::string& path);
void WriteSettings(const std::string& path, std::string_view header, const Settings& settings,
                   const std::string& scratch);
std::string SettingOf(const Settings& settings, std::string_view key);
void SetSetting(Settings& settings, std::string_view key, std::string value);

}  // namespace zarnlocal
