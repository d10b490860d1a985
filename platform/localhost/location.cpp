#include "localhost/location.h"

#include <algorithm>
#include <cctype>

#include "host/cfx_result.h"
#include "host/status.h"
#include "localhost/file_system.h"

namespace zarnlocal {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i]))) {
      return false;
    }
  }
  return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) { return a.size() == b.size() && StartsWithNoCase(a, b); }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Builds the location of a path text: trailing '/' and a last "*" decide the kind.
Location Classify(std::string_view absolute) {
  Location location;
  const std::string slashed = WithSlashes(absolute);
  const bool trailingSlash = slashed.size() > 1 && slashed.back() == '/';
  location.path = NormalisePath(absolute);
  if (!IsRoot(location.path)) location.folder = trailingSlash;
  const std::vector<std::string> elements = PathElements(location.path);
  if (!elements.empty() && elements.back() == "*" && !location.folder) {
    location.wildcard = true;
    location.path = ParentOf(location.path);
  }
  return location;
}

}  // namespace

std::string NormalisePath(std::string_view absolutePath) {
  const std::string slashed = WithSlashes(absolutePath);
  const std::size_t rootLength = RootLength(slashed);
  std::string path = rootLength > 0 ? slashed.substr(0, rootLength) : "/";
  if (path.back() != '/') path += '/';
  // Drive letters are one drive whatever their case.
  if (path.size() == 3 && path[1] == ':')
    path[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
  std::vector<std::string_view> kept;
  const std::string_view rest = std::string_view(slashed).substr(rootLength);
  std::size_t at = 0;
  while (at <= rest.size()) {
    const std::size_t slash = std::min(rest.find('/', at), rest.size());
    const std::string_view element = rest.substr(at, slash - at);
    if (element == "..") {
      if (!kept.empty()) kept.pop_back();
    } else if (!element.empty() && element != ".") {
      kept.push_back(element);
    }
    at = slash + 1;
  }
  for (std::size_t i = 0; i < kept.size(); ++i) {
    if (i > 0) path += '/';
    path += kept[i];
  }
  return path;
}

bool IsRoot(std::string_view path) { return !path.empty() && RootLength(path) == path.size(); }

std::string RootOf(std::string_view path) { return std::string(path.substr(0, RootLength(path))); }

std::vector<std::string> PathElements(std::string_view path) {
  std::vector<std::string> elements;
  std::size_t at = RootLength(path);
  while (at < path.size()) {
    const std::size_t slash = std::min(path.find('/', at), path.size());
    if (slash > at) elements.emplace_back(path.substr(at, slash - at));
    at = slash + 1;
  }
  return elements;
}

std::string ParentOf(std::string_view path) {
  const std::size_t root = RootLength(path);
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos || slash < root) return root > 0 ? std::string(path.substr(0, root)) : "/";
  return std::string(path.substr(0, slash));
}

std::string JoinPath(std::string_view folder, std::string_view relative) {
  const std::string slashed = WithSlashes(relative);
  const std::size_t root = RootLength(slashed);
  // "/a" on a drive is "/a" on the folder's drive.
  if (root == 1 && RootLength(folder) > 1) return std::string(folder.substr(0, RootLength(folder) - 1)) + slashed;
  if (root > 0) return slashed;
  std::string joined(folder);
  if (joined.empty() || joined.back() != '/') joined += '/';
  return joined + slashed;
}

bool IsWithin(std::string_view path, std::string_view folder) {
  if (path.substr(0, folder.size()) != folder) return false;
  return path.size() == folder.size() || folder.back() == '/' || path[folder.size()] == '/';
}

std::string RelativeTo(std::string_view path, std::string_view folder) {
  if (path.size() == folder.size()) return {};
  return std::string(path.substr(folder.back() == '/' ? folder.size() : folder.size() + 1));
}

std::string EscapeElement(std::string_view element) {
  static constexpr std::string_view kUnsafe = " %#?\"<>{}|\\^~[]`";
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string escaped;
  for (const char c : element) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F || kUnsafe.find(c) != std::string_view::npos) {
      escaped += '%';
      escaped += kDigits[byte >> 4];
      escaped += kDigits[byte & 0xF];
    } else {
      escaped += c;
    }
  }
  return escaped;
}

std::string DecodeEscapes(std::string_view text) {
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      decoded += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

Location Location::Parse(std::string_view text, const std::string& projectFolder) {
  if (!StartsWithNoCase(text, "file:")) return FromPath(text, projectFolder);
  std::string_view rest = text.substr(5);
  std::string query;
  const std::size_t mark = rest.find('?');
  const bool hasQuery = mark != std::string_view::npos;
  if (hasQuery) {
    query = std::string(rest.substr(mark + 1));
    rest = rest.substr(0, mark);
  }
  std::string path;
  if (rest.substr(0, 2) == "//") {
    rest.remove_prefix(2);
    const std::size_t slash = std::min(rest.find('/'), rest.size());
    const std::string_view machine = rest.substr(0, slash);
    if (!machine.empty() && !EqualsNoCase(machine, "localhost")) {
      throw CfxResult(E_INVALIDARG, "file URL names another machine ('" + std::string(machine) +
                                        "'); the local host reaches only this one: " + std::string(text));
    }
    path = DecodeEscapes(rest.substr(slash));
    if (path.empty()) path = "/";
  } else {
    path = std::string(rest);
  }
  // file:///C:/a names C:/a where paths start with a drive.
  if (path.size() > 1 && path.front() == '/' && RootLength(std::string_view(path).substr(1)) > 1) path.erase(0, 1);
  if (path.empty()) throw CfxResult(E_INVALIDARG, "the file URL names no path: " + std::string(text));
  Location location = Classify(JoinPath(projectFolder, path));
  location.query = std::move(query);
  return location;
}

Location Location::FromPath(std::string_view path, const std::string& base) {
  if (path.empty()) throw CfxResult(E_INVALIDARG, "empty location text");
  return Classify(JoinPath(base, path));
}

Location Location::Child(std::string_view relative) const {
  if (relative.empty()) {
    Location same = *this;
    same.query.clear();
    return same;
  }
  return Classify(JoinPath(BaseFolder(), relative));
}

std::string Location::BaseFolder() const { return folder || wildcard ? path : ParentOf(path); }

std::string Location::FileName() const {
  if (wildcard) return "*";
  const std::vector<std::string> elements = PathElements(path);
  return elements.empty() ? std::string() : elements.back();
}

std::string Location::Name() const {
  std::string name = FileName();
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

std::string Location::FilePath() const {
  if (!wildcard) return path;
  return IsRoot(path) ? path + "*" : path + "/*";
}

std::string Location::Text() const {
  std::string text = "file:";
  const std::size_t root = RootLength(path);
  if (root > 1) {
    // A drive or a share: a URL with escapes, as file:///C:/a%20b.txt, that
    // Parse reads back.
    text += path.front() == '/' ? "//" : "///";
    text += path.substr(0, root);
    const std::vector<std::string> elements = PathElements(path);
    for (std::size_t i = 0; i < elements.size(); ++i) text += (i ? "/" : "") + EscapeElement(elements[i]);
  } else {
    text += path;
  }
  if (wildcard) text += IsRoot(path) ? "*" : "/*";
  if (folder) text += "/";
  if (!query.empty()) text += "?" + query;
  return text;
}

std::string Location::RelativeUrl(const Location& target) const {
  const std::vector<std::string> from = PathElements(BaseFolder());
  const std::vector<std::string> to = PathElements(target.path);
  const bool namesItem = !target.folder && !target.wildcard;
  std::size_t common = 0;
  while (common < from.size() && common < to.size() && from[common] == to[common]) ++common;
  // An item that is one of the base's own folders is reached from above it.
  if (namesItem && common == to.size() && common > 0) --common;
  std::string url;
  for (std::size_t i = common; i < from.size(); ++i) url += "../";
  for (std::size_t i = common; i < to.size(); ++i) {
    url += EscapeElement(to[i]);
    if (i + 1 < to.size() || !namesItem) url += '/';
  }
  if (target.wildcard) url += "*";
  return url.empty() ? "./" : url;
}

bool Location::QueryFlag(std::string_view key, bool otherwise) const {
  bool value = otherwise;
  std::size_t at = 0;
  while (at <= query.size()) {
    const std::size_t amp = std::min(query.find('&', at), query.size());
    const std::string_view pair = std::string_view(query).substr(at, amp - at);
    const std::size_t equals = pair.find('=');
    if (equals != std::string_view::npos && EqualsNoCase(pair.substr(0, equals), key)) {
      const std::string_view text = pair.substr(equals + 1);
      if (EqualsNoCase(text, "Yes")) {
        value = true;
      } else if (EqualsNoCase(text, "No")) {
        value = false;
      } else {
        throw CfxResult(E_INVALIDARG, "bad listing query '" + query + "': " + std::string(key) + " takes Yes or No");
      }
    }
    at = amp + 1;
  }
  return value;
}

bool Location::Recursive() const { return QueryFlag("Recursive", false); }

bool Location::ListsFolders() const { return QueryFlag("Folders", true); }

}  // namespace zarnlocal
