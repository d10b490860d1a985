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

// Writes the bytes to a temporary name beside `path` and renames it over
// `path`, so readers see the old content or the new one, never a part.
// Creates missing parent folders. Throws CfxResult; leaves nothing behind.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

// Copies a file the same way: `to` is complete or untouched.
void CopyFileAtomically(const std::string& from, const std::string& to);

// The lines of a text, without their line ends; a last line without one counts.
std::vector<std::string> SplitLines(std::string_view text);

std::string EscapeField(std::string_view field);
std::string UnescapeField(std::string_view field);

// Records of tab-separated, escaped fields; comments and blank lines skipped.
std::vector<std::vector<std::string>> ReadRecords(const std::string& path);
void WriteRecords(const std::string& path, std::string_view header,
                  const std::vector<std::vector<std::string>>& records);

// "key = value" settings in file order; values escaped like fields.
using Settings = std::vector<std::pair<std::string, std::string>>;
Settings ReadSettings(const std::string& path);
void WriteSettings(const std::string& path, std::string_view header, const Settings& settings);
std::string SettingOf(const Settings& settings, std::string_view key);
void SetSetting(Settings& settings, std::string_view key, std::string value);

}  // namespace zarnlocal
