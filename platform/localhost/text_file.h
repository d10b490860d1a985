// The plain-text files the local host keeps its state in, and safe writes.
//
// Every state file is a list of lines; '#' lines are comments. Fields are
// written with state_codec.h, so that one record stays one line whatever
// its fields hold.
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

// Throws CfxResult E_INVALIDARG "PATH line N: WHAT".
[[noreturn]] void FailAtLine(const std::string& path, std::size_t line, const std::string& what);
// "expected NAME, a tab, NAME; found N fields".
std::string ExpectedFields(const std::vector<std::string>& names, std::size_t found);

// A text on one line, for reports: \t, \n, \r and \\ escaped.
std::string EscapeField(std::string_view field);

// Records of tab-separated fields (state_codec.h); comments and blank lines
// skipped. Each record has one field per name in `fields`: throws CfxResult
// E_INVALIDARG naming the file and line of one that has not, or of a line
// no writer makes.
std::vector<std::vector<std::string>> ReadRecords(const std::string& path, const std::vector<std::string>& fields);
void WriteRecords(const std::string& path, std::string_view header,
                  const std::vector<std::vector<std::string>>& records, const std::string& scratch);

// "key = value" settings in file order, keys and values written like fields.
// A line no writer makes, or a key given twice, throws CfxResult
// E_INVALIDARG naming the file and line.
using Settings = std::vector<std::pair<std::string, std::string>>;
Settings ReadSettings(const std::string& path);
void WriteSettings(const std::string& path, std::string_view header, const Settings& settings,
                   const std::string& scratch);
std::string SettingOf(const Settings& settings, std::string_view key);
void SetSetting(Settings& settings, std::string_view key, std::string value);

}  // namespace zarnlocal
