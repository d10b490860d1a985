// The system's code page on Windows: the ANSI code page, converted by the
// system. Without a flag either way, every byte of a single-byte code page is
// one character and comes back as the same byte; a character the code page
// lacks becomes its default character ('?').
#include <limits>
#include <new>
#include <stdexcept>

#include "cfx/system_code_page.h"
#include "host/bstr.h"
#include "host/com_types.h"

namespace {

int CheckedLength(std::size_t size) {
  if (size > static_cast<std::size_t>(std::numeric_limits<int>::max())) throw std::length_error("text too long");
  return static_cast<int>(size);
}

}  // namespace

std::uint32_t CfxSystemCodePage() noexcept { return GetACP(); }

CfxWString CfxSystemCodePageToWide(std::uint32_t codePage, std::string_view narrow) {
  if (narrow.empty()) return {};
  const int length = CheckedLength(narrow.size());
  const int needed = MultiByteToWideChar(codePage, 0, narrow.data(), length, nullptr, 0);
  if (needed <= 0) throw std::bad_alloc();
  CfxWString wide(static_cast<std::size_t>(needed), OLESTR('\0'));
  MultiByteToWideChar(codePage, 0, narrow.data(), length, wide.data(), needed);
  return wide;
}

std::string CfxWideToSystemCodePage(std::uint32_t codePage, CfxWStringView wide) {
  if (wide.empty()) return {};
  const int length = CheckedLength(wide.size());
  const int needed = WideCharToMultiByte(codePage, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) throw std::bad_alloc();
  std::string narrow(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), length, narrow.data(), needed, nullptr, nullptr);
  return narrow;
}
