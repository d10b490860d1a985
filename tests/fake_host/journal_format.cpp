#include "fake_host/journal_format.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <utility>

#include "host/job_interfaces.h"
#include "host/project_interfaces.h"

namespace fakehost {

std::string Quote(std::string_view bytes) {
  // C's short escapes; other control bytes and non-ASCII bytes become \xHH.
  static constexpr std::pair<char, const char*> kShort[] = {{'"', "\\\""}, {'\\', "\\\\"}, {'\n', "\\n"},
                                                            {'\r', "\\r"}, {'\t', "\\t"},  {'\0', "\\0"}};
  constexpr char digits[] = "0123456789ABCDEF";
  std::string out = "\"";
  for (const char c : bytes) {
    const auto escape = std::find_if(std::begin(kShort), std::end(kShort), [c](const auto& e) { return e.first == c; });
    const auto byte = static_cast<unsigned char>(c);
    if (escape != std::end(kShort)) {
      out += escape->second;
    } else if (byte < 0x20 || byte >= 0x7F) {
      out += {'\\', 'x', digits[byte >> 4], digits[byte & 0xF]};
    } else {
      out += c;
    }
  }
  return out + '"';
}

CfxWStringView View(BSTR text) noexcept { return text ? CfxWStringView(text, SysStringLen(text)) : CfxWStringView(); }

std::string Arg(const OLECHAR* text) {
  // The library hands over host strings, so the stored length counts, not the first zero.
  return text ? Arg(View(const_cast<BSTR>(text))) : "null";
}

std::string Arg(CfxWStringView text) { return Quote(CfxWideToNarrow(text)); }

std::string Arg(const VARIANT& value) {
  if (value.vt == VT_EMPTY) return "empty";
  if (value.vt == VT_BSTR) return Arg(static_cast<const OLECHAR*>(value.bstrVal));
  return "variant(vt=" + std::to_string(value.vt) + ")";
}

std::string InterfaceName(const nsID& iid) {
  static const std::array<std::pair<nsID, const char*>, 10> known{{
      {InterfaceIdOf<IUnknown>, "IUnknown"},
      {InterfaceIdOf<ISBUrlServices>, "ISBUrlServices"},
      {InterfaceIdOf<ISBFileUrl>, "ISBFileUrl"},
      {InterfaceIdOf<ISBFileTypeProvider>, "ISBFileTypeProvider"},
      {InterfaceIdOf<ISBLockable>, "ISBLockable"},
      {InterfaceIdOf<ISBDocumentStorage>, "ISBDocumentStorage"},
      {InterfaceIdOf<ISBViewHost>, "ISBViewHost"},
      {InterfaceIdOf<ISBJobHost>, "ISBJobHost"},
      {InterfaceIdOf<ISBJobTransfer>, "ISBJobTransfer"},
      {InterfaceIdOf<ISBZarnServerJob>, "ISBZarnServerJob"},
  }};
  for (const auto& [id, name] : known) {
    if (id == iid) return name;
  }
  return nsIDToString(iid);
}

}  // namespace fakehost
