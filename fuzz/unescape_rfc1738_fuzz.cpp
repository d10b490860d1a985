// UnescapeRFC1738 against the plain search-and-erase transcription of its
// rule, for any byte string.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ZarnServerJobUtils.h"
#include "job/unescape_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string decoded = AppUtils::Document::UnescapeRFC1738(input);
  if (decoded != jobtest::SearchAndEraseDecoding(input)) std::abort();
  // Every escape takes three bytes down to one; nothing else changes length.
  if (decoded.size() > input.size() || (input.size() - decoded.size()) % 2 != 0) std::abort();
  return 0;
}
