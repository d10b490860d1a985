// The application's code page on Linux: UTF-8, by the lossless rules of
// unicode.cpp.
#include "host/bstr.h"

CfxWString CfxCodePageToWide(std::string_view narrow) { return CfxNarrowToWide(narrow); }

std::string CfxWideToCodePage(CfxWStringView wide) { return CfxWideToNarrow(wide); }
