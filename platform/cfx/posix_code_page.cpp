// The system's code page on Linux: UTF-8, which the framework converts by its
// own lossless rules, so no other code page reaches the conversions here.
#include <stdexcept>
#include <string>

#include "cfx/cfx_host.h"
#include "cfx/system_code_page.h"

std::uint32_t CfxSystemCodePage() noexcept { return kCfxCodePageUtf8; }

CfxWString CfxSystemCodePageToWide(std::uint32_t codePage, std::string_view) {
  throw std::invalid_argument("no conversion for code page " + std::to_string(codePage));
}

std::string CfxWideToSystemCodePage(std::uint32_t codePage, CfxWStringView) {
  throw std::invalid_argument("no conversion for code page " + std::to_string(codePage));
}
