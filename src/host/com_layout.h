// The layout the host's binary interface fixes for its base types. The
// SDK's types must have it, and so must ours of the same names, so that a
// value crosses the interfaces the same way on every platform. Checked at
// compile time wherever com_types.h is included.
#pragma once

#include <cstddef>
#include <type_traits>

// A status and the 16-bit boolean, whose true has every bit set.
static_assert(sizeof(HRESULT) == 4 && std::is_signed_v<HRESULT>);
static_assert(sizeof(VARIANT_BOOL) == 2 && std::is_signed_v<VARIANT_BOOL>);
static_assert(VARIANT_TRUE == -1 && VARIANT_FALSE == 0);

// Identifiers: 16 bytes, a 32-bit field, two 16-bit fields, eight bytes.
static_assert(sizeof(GUID) == 16 && alignof(GUID) == 4);
static_assert(offsetof(GUID, Data1) == 0 && sizeof(GUID::Data1) == 4);
static_assert(offsetof(GUID, Data2) == 4 && sizeof(GUID::Data2) == 2);
static_assert(offsetof(GUID, Data3) == 6 && sizeof(GUID::Data3) == 2);
static_assert(offsetof(GUID, Data4) == 8 && sizeof(GUID::Data4) == 8);

// Host strings: a pointer to 16-bit characters (the length sits before it).
static_assert(std::is_same_v<BSTR, OLECHAR*>);
static_assert(sizeof(OLECHAR) == 2 && sizeof(BSTR) == sizeof(void*));

// Variants: the type and three reserved words, then the value at offset 8,
// as wide as two pointers (a record and its type information).
static_assert(sizeof(VARTYPE) == 2);
static_assert(sizeof(VARIANT) == 8 + 2 * sizeof(void*) && alignof(VARIANT) == 8);
static_assert(offsetof(VARIANT, vt) == 0);
static_assert(offsetof(VARIANT, wReserved1) == 2);
static_assert(offsetof(VARIANT, wReserved2) == 4);
static_assert(offsetof(VARIANT, wReserved3) == 6);
static_assert(offsetof(VARIANT, lVal) == 8 && sizeof(VARIANT::lVal) == 4);
static_assert(offsetof(VARIANT, iVal) == 8 && sizeof(VARIANT::iVal) == 2);
static_assert(offsetof(VARIANT, boolVal) == 8 && sizeof(VARIANT::boolVal) == 2);
static_assert(offsetof(VARIANT, bstrVal) == 8);
static_assert(offsetof(VARIANT, punkVal) == 8);
static_assert(offsetof(VARIANT, pdispVal) == 8);
static_assert(offsetof(VARIANT, byref) == 8);
static_assert(offsetof(VARIANT, parray) == 8);
static_assert(offsetof(VARIANT, llVal) == 8 && sizeof(VARIANT::llVal) == 8);
