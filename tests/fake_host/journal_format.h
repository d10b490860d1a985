// How host call arguments are written in the journal.
//
// Text is quoted with C escapes (non-ASCII text as its UTF-8 bytes), a null
// host string is `null`, a variant shows its text or its type, integers are
// decimal and bools true/false. Objects are written by the Host, which knows
// their names.
#pragma once

#include <concepts>
#include <string>
#include <string_view>
#include <type_traits>

#include "host/bstr.h"
#include "host/nsid.h"
#include "host/variant.h"

namespace fakehost {

// Narrow bytes in double quotes with C escapes.
std::string Quote(std::string_view bytes);

// A host string as the callee sees it: every character up to its stored length.
CfxWStringView View(BSTR text) noexcept;

std::string Arg(const OLECHAR* text);  // a host string; null is `null`
std::string Arg(CfxWStringView text);
std::string Arg(const VARIANT& value);
template <std::integral T>
std::string Arg(T value) {
  if constexpr (std::same_as<T, bool>) {
    return value ? "true" : "false";
  } else {
    return std::to_string(value);
  }
}

// What an out slot held when a call came in: `null` for no slot, otherwise
// the number or host boolean in it, and for a string, interface or array
// slot `empty` (a null pointer in it) or `set` (anything else; a slot that
// comes in set would be overwritten and its old value lost).
template <class T>
requires std::is_arithmetic_v<T> std::string SlotState(const T* slot) { return slot ? std::to_string(+*slot) : "null"; }
template <class T>
std::string SlotState(T* const* slot) {
  if (!slot) return "null";
  return *slot ? "set" : "empty";
}

// The name of an identified interface, or the braced identifier when unknown.
std::string InterfaceName(const nsID& iid);

}  // namespace fakehost
