#include "localhost/text_file.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <set>
#include <system_error>

#include "host/cfx_result.h"
#include "host/status.h"
#include "localhost/file_system.h"
#include "localhost/location.h"
#include "localhost/regular_file.h"
#include "localhost/state_codec.h"
#include "localhost/state_lock.h"

namespace zarnlocal {
namespace {

namespace fs = std::filesystem;

void MakeParentFolder(const std::string& path) {
  std::error_code error;
  fs::create_directories(NativePath(ParentOf(path)), error);
  if (error) throw CfxResult(E_FAIL, "cannot make the folder " + ParentOf(path) + ": " + error.message());
}

// The first write into a temporary folder in this process removes what dead
// writers left there.
void SweepOnce(const std::string& folder) {
  static std::mutex mutex;
  static auto* swept = new std::set<std::string>();
  {
    std::lock_guard lock(mutex);
    if (!swept->insert(folder).second) return;
  }
  SweepTemporaries(folder);
}

// Writes everything `fill` gives into a new temporary file of `scratch` and
// renames it to `path`; the temporary goes on any failure.
template <class Fill>
void WriteThroughTemporary(const std::string& path, const std::string& scratch, Fill fill) {
  MakeParentFolder(path);
  // Without a scratch folder of the host's own the temporary goes beside the
  // file, and nothing there is swept: that folder is not the host's.
  const std::string folder = scratch.empty() ? ParentOf(path) : scratch;
  if (!scratch.empty()) SweepOnce(folder);
  TemporaryFile temporary(folder, path);
  fill([&](const char* data, std::size_t size) { temporary.Write(data, size, path); });
  temporary.Commit(path);
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
  SystemError error;
  OpenFile file = OpenFile::Open(path, OpenMode::kRead, error);
  if (!file.IsOpen()) {
    if (error.NotFound()) return std::nullopt;
    FailWith(error, "cannot read " + path);
  }
  std::string bytes;
  char buffer[8192];
  for (std::ptrdiff_t n; (n = file.Read(buffer, sizeof buffer, error)) != 0;) {
    if (n < 0) FailWith(error, "cannot read " + path);
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  return bytes;
}

void WriteFileAtomically(const std::string& path, std::string_view bytes, const std::string& scratch) {
  WriteThroughTemporary(path, scratch, [&](const auto& put) { put(bytes.data(), bytes.size()); });
}

void CopyFileAtomically(const std::string& from, const std::string& to, const std::string& scratch) {
  RegularFile in(from);
  WriteThroughTemporary(to, scratch, [&](const auto& put) {
    const auto buffer = std::make_unique<char[]>(kBlockSize);
    for (std::size_t n; (n = in.Read(buffer.get(), kBlockSize)) != 0;) put(buffer.get(), n);
  });
}

std::string RealLocation(const std::string& path) {
  // weakly_canonical resolves the part that exists; a dangling link right
  // after it is resolved by hand, as the next write through it would go.
  std::string current = NormalisePath(path);
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code error;
    const std::string real = NormalisePath(PathText(fs::weakly_canonical(NativePath(current), error)));
    if (error) throw CfxResult(E_FAIL, "cannot resolve the real location of " + path + ": " + error.message());
    const std::vector<std::string> elements = PathElements(real);
    std::string prefix = RootOf(real);
    std::size_t at = 0;
    for (; at < elements.size(); ++at) {
      prefix = JoinPath(prefix, elements[at]);
      if (!fs::exists(fs::status(NativePath(prefix), error))) break;
    }
    if (at == elements.size() || !fs::is_symlink(fs::symlink_status(NativePath(prefix), error))) return real;
    const fs::path target = fs::read_symlink(NativePath(prefix), error);
    if (error) throw CfxResult(E_FAIL, "cannot resolve the real location of " + path + ": " + error.message());
    current = JoinPath(ParentOf(prefix), PathText(target));
    for (std::size_t rest = at + 1; rest < elements.size(); ++rest) current += "/" + elements[rest];
    current = NormalisePath(current);
  }
  throw CfxResult(E_FAIL, "cannot resolve the real location of " + path + ": too many levels of links");
}

std::string RealDestination(const std::string& path) {
  const std::string normal = NormalisePath(path);
  if (IsRoot(normal)) return normal;
  return JoinPath(RealLocation(ParentOf(normal)), PathElements(normal).back());
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    at = end + 1;
  }
  return lines;
}

std::string EscapeField(std::string_view field) {
  std::string escaped;
  for (const char c : field) {
    if (c == '\\') {
      escaped += "\\\\";
    } else if (c == '\t') {
      escaped += "\\t";
    } else if (c == '\n') {
      escaped += "\\n";
    } else if (c == '\r') {
      escaped += "\\r";
    } else {
      escaped += c;
    }
  }
  return escaped;
}

[[noreturn]] void FailAtLine(const std::string& path, std::size_t line, const std::string& what) {
  throw CfxResult(E_INVALIDARG, path + " line " + std::to_string(line) + ": " + what);
}

std::vector<std::vector<std::string>> ReadRecords(const std::string& path, const std::vector<std::string>& fields) {
  std::vector<std::vector<std::string>> records;
  const std::optional<std::string> text = ReadWholeFile(path);
  if (!text) return records;
  std::size_t number = 0;
  for (const std::string& line : SplitLines(*text)) {
    ++number;
    if (HoldsNoRecord(line)) continue;
    try {
      records.push_back(ParseRecord(line));
    } catch (const StateFormatError& error) {
      FailAtLine(path, number, error.what);
    }
    if (records.back().size() != fields.size()) FailAtLine(path, number, ExpectedFields(fields, records.back().size()));
  }
  return records;
}

void WriteRecords(const std::string& path, std::string_view header,
                  const std::vector<std::vector<std::string>>& records, const std::string& scratch) {
  std::string text(header);
  for (const std::vector<std::string>& record : records) text += FormatRecord(record) + "\n";
  WriteFileAtomically(path, text, scratch);
}

std::string ExpectedFields(const std::vector<std::string>& names, std::size_t found) {
  std::string expected = "expected ";
  for (std::size_t i = 0; i < names.size(); ++i) expected += (i ? ", a tab, " : "") + names[i];
  return expected + "; found " + std::to_string(found) + (found == 1 ? " field" : " fields");
}

Settings ReadSettings(const std::string& path) {
  Settings settings;
  const std::optional<std::string> text = ReadWholeFile(path);
  if (!text) return settings;
  std::size_t number = 0;
  for (const std::string& line : SplitLines(*text)) {
    ++number;
    if (HoldsNoRecord(line)) continue;
    try {
      auto setting = ParseSetting(line);
      for (const auto& [key, value] : settings) {
        if (key == setting.first) throw StateFormatError{"the setting '" + key + "' is given twice"};
      }
      settings.push_back(std::move(setting));
    } catch (const StateFormatError& error) {
      FailAtLine(path, number, error.what);
    }
  }
  return settings;
}

void WriteSettings(const std::string& path, std::string_view header, const Settings& settings,
                   const std::string& scratch) {
  std::string text(header);
  for (const auto& [key, value] : settings) text += FormatSetting(key, value) + "\n";
  WriteFileAtomically(path, text, scratch);
}

std::string SettingOf(const Settings& settings, std::string_view key) {
  for (const auto& [name, value] : settings) {
    if (name == key) return value;
  }
  return {};
}

void SetSetting(Settings& settings, std::string_view key, std::string value) {
  for (auto& [name, old] : settings) {
    if (name == key) {
      old = std::move(value);
      return;
    }
  }
  settings.emplace_back(std::string(key), std::move(value));
}

}  // namespace zarnlocal
