// The system's own code page and its conversions: UTF-8 on Linux, the ANSI
// code page on Windows. The framework takes it as the application's code page
// until one is set.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "host/bstr.h"

std::uint32_t CfxSystemCodePage() noexcept;

// Conversions in a code page that the framework does not convert itself.
CfxWString CfxSystemCodePageToWide(std::uint32_t codePage, std::string_view narrow);
std::string CfxWideToSystemCodePage(std::uint32_t codePage, CfxWStringView wide);
