// Location: what a local host ISBUrl names. A value, with no file access.
//
// Texts a location is made from (CreateUrl):
//   file:///p/a.txt, file://localhost/p/a.txt   URL form: %XX escapes are decoded
//   file:/p/a.txt, file:rel/a.txt                the rest is a path as it stands
//   /p/a.txt, rel/a.txt                          a plain path; no query, '?' is a name byte
// In the file: forms a '?' starts the query text. Relative paths are taken
// from the project folder. A trailing '/' makes a folder location (relative
// references resolve inside it); a last element "*" stands for every entry
// of its folder.
//
// Paths are narrow UTF-8 bytes, absolute, with '/' separators and no '.' or
// '..' elements. They start with the platform's root (file_system.h): "/",
// or on Windows a drive "C:/" or a share "//server/share/"; '\' is read
// as '/' there.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zarnlocal {

struct Location {
  std::string path;       // for a wild card: the folder whose entries it stands for
  bool folder = false;    // written with a trailing '/'
  bool wildcard = false;  // last element "*"
  std::string query;      // the text after '?', without it

  // Throws CfxResult E_INVALIDARG for an empty text or a file URL naming another machine.
  static Location Parse(std::string_view text, const std::string& projectFolder);
  // A path as it stands (no query, no escapes), relative ones from `base`.
  static Location FromPath(std::string_view path, const std::string& base);

  // Resolves a relative reference the way a URL does: against a document an
  // item beside it, against a folder location (or a wild card) an item inside.
  // The text is a path as it stands; '..' and '.' elements are resolved.
  Location Child(std::string_view relative) const;

  // The folder relative references resolve against.
  std::string BaseFolder() const;
  // Last element with its extension ("*" for a wild card); "" for the root.
  std::string FileName() const;
  // The file name without its extension; a leading dot is no extension.
  std::string Name() const;
  // The file-system path; a wild card ends in "/*".
  std::string FilePath() const;
  // file:<path>, '/' for a folder, ?query when there is one; for display.
  std::string Text() const;
  // `target` relative to this location's base folder, '/'-separated, every
  // element escaped (RFC 1738); a folder ends in '/', a wild card in "/*".
  std::string RelativeUrl(const Location& target) const;

  // Whether the query asks for subfolders too (Recursive=Yes; Recursive=No
  // or no query: no). Throws E_INVALIDARG for another Recursive value.
  bool Recursive() const;
  // Whether a listing gives folders as entries (Folders=No leaves them out,
  // and a recursive listing still looks into them). Throws E_INVALIDARG for
  // another Folders value.
  bool ListsFolders() const;

 private:
  bool QueryFlag(std::string_view key, bool otherwise) const;
};

// '/'-joined, '.' and '..' resolved lexically, no trailing '/' (except the root).
std::string NormalisePath(std::string_view absolutePath);
// Whether a normalised path is a root ("/", "C:/"), and its root.
bool IsRoot(std::string_view path);
std::string RootOf(std::string_view path);
// The elements of a normalised path, after its root.
std::vector<std::string> PathElements(std::string_view path);
// The folder of a normalised path (the root for the root's children).
std::string ParentOf(std::string_view path);
// Joins a folder and a relative path.
std::string JoinPath(std::string_view folder, std::string_view relative);
// RFC 1738 escape of one element: blanks, unsafe and reserved-in-paths
// characters ('%', '#', '?', ...) and bytes outside printable ASCII become %XX.
std::string EscapeElement(std::string_view element);
// %XX (two hexadecimal digits) back into its byte; any other '%' stays.
std::string DecodeEscapes(std::string_view text);
// Whether `path` is `folder` or lies below it (both normalised).
bool IsWithin(std::string_view path, std::string_view folder);
// `path` relative to `folder` ("" for the folder itself); IsWithin must hold.
std::string RelativeTo(std::string_view path, std::string_view folder);

}  // namespace zarnlocal
