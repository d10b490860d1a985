// nsID: the 128-bit identifier of host interfaces and classes, the
// component model's GUID.
//
//   constexpr nsID kFileUrl = nsIDFromText("{1B9CE360-B200-483A-A319-AD51D5C39C1F}");
//
// nsIDFromText is evaluated at compile time, so a malformed literal does not
// compile. nsIDParse is the runtime form and reports malformed text instead
// of failing.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "host/com_types.h"

using nsID = GUID;

namespace cfx_detail {
constexpr int HexValue(char c) noexcept {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace cfx_detail

// Braced text "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", digits in either case.
constexpr std::optional<nsID> nsIDParse(std::string_view text) noexcept {
  if (text.size() != 38 || text.front() != '{' || text.back() != '}') return std::nullopt;
  // Offsets of the 16 hexadecimal byte pairs inside the braces.
  constexpr std::array<std::size_t, 16> pairs{1, 3, 5, 7, 10, 12, 15, 17, 20, 22, 25, 27, 29, 31, 33, 35};
  for (std::size_t dash : {9u, 14u, 19u, 24u}) {
    if (text[dash] != '-') return std::nullopt;
  }
  std::array<std::uint8_t, 16> bytes{};
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    const int high = cfx_detail::HexValue(text[pairs[i]]);
    const int low = cfx_detail::HexValue(text[pairs[i] + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes[i] = static_cast<std::uint8_t>(high * 16 + low);
  }
  nsID id{};
  id.Data1 =
      (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) | (std::uint32_t{bytes[2]} << 8) | bytes[3];
  id.Data2 = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
  id.Data3 = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
  for (std::size_t i = 0; i < 8; ++i) id.Data4[i] = bytes[8 + i];
  return id;
}

// For literals only: a malformed text is a compile error.
consteval nsID nsIDFromText(std::string_view text) {
  const auto id = nsIDParse(text);
  if (!id) throw "malformed nsID literal";
  return *id;
}

// Upper-case braced text, the form nsIDParse accepts.
inline std::string nsIDToString(const nsID& id) {
  constexpr char digits[] = "0123456789ABCDEF";
  std::string out = "{";
  auto put = [&](std::uint64_t value, int count) {
    for (int shift = (count - 1) * 4; shift >= 0; shift -= 4) out += digits[(value >> shift) & 0xF];
  };
  put(id.Data1, 8);
  out += '-';
  put(id.Data2, 4);
  out += '-';
  put(id.Data3, 4);
  out += '-';
  put(id.Data4[0], 2);
  put(id.Data4[1], 2);
  out += '-';
  for (std::size_t i = 2; i < 8; ++i) put(id.Data4[i], 2);
  out += '}';
  return out;
}
