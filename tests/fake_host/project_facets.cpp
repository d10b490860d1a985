#include "fake_host/project_facets.h"

#include <cstring>

#include "cfx/cfx_host.h"
#include "fake_host/host.h"
#include "host/cotaskmem.h"

namespace fakehost {

HRESULT FakeFileTypes::GiveArray(const std::vector<CfxWString>& texts, LPOLESTR** out, std::int32_t* count) const {
  if (!out || !count) return S_OK;
  // An array and its strings are task memory, not host strings.
  const CfxPlainTaskMemoryScope plain;
  if (texts.empty()) {
    if (!emptyAsArray) return S_OK;
    *out = static_cast<LPOLESTR*>(CoTaskMemAlloc(0));
    if (!*out) return E_OUTOFMEMORY;
    if (journalFrees) TheHost().JournalTaskMemFree(*out, "array");
    return S_OK;
  }
  auto* array = static_cast<LPOLESTR*>(CoTaskMemAlloc(texts.size() * sizeof(LPOLESTR)));
  if (!array) return E_OUTOFMEMORY;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const std::size_t bytes = (texts[i].size() + 1) * sizeof(OLECHAR);
    array[i] = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (!array[i]) {
      while (i > 0) CoTaskMemFree(array[--i]);
      CoTaskMemFree(array);
      return E_OUTOFMEMORY;
    }
    std::memcpy(array[i], texts[i].c_str(), bytes);
  }
  if (journalFrees) {
    for (std::size_t i = 0; i < texts.size(); ++i) TheHost().JournalTaskMemFree(array[i], Arg(texts[i]));
    TheHost().JournalTaskMemFree(array, "array");
  }
  *out = array;
  *count = static_cast<std::int32_t>(texts.size());
  return S_OK;
}

}  // namespace fakehost
