// An application's first use of an installed ZarnServerJobUtils: the two
// exports that need no host, a failure raised across the library boundary,
// and, where the package has the local reference host, one export against
// it. Exits non-zero, saying why, on the first thing that is not as the
// library promises.
#include <cstdint>
#include <cstdio>
#include <string>

#include "ZarnServerJobUtils.h"
#include "consumer.h"

namespace {

int failures = 0;

void WithoutHost() {
  Expect(std::string(ZARN_VERSION_STRING) == ZARN_EXPECTED_VERSION,
         std::string("header version ") + ZARN_VERSION_STRING + " is the package's " + ZARN_EXPECTED_VERSION);
  Expect(AppUtils::Document::UnescapeRFC1738("Run%201%2Fa.std") == "Run 1/a.std", "UnescapeRFC1738 decodes escapes");
  for (std::int32_t id : {0, 1, -1}) {
    Expect(ID2MessageString(id) == nullptr, "ID2MessageString(" + std::to_string(id) + ") has no text");
  }
  // The library's CfxResult must be catchable as the application's. The
  // argument check raises before any host call, so no host is needed.
  try {
    AppUtils::Document::HideFiles(nullptr, nullptr);
    Expect(false, "HideFiles(nullptr) raises");
  } catch (const CfxResult& result) {
    Expect(result.Code() == E_INVALIDARG, "a missing argument raises E_INVALIDARG");
    Expect(result.Description() == "No files to hide",
           "the message is \"No files to hide\", not \"" + result.Description() + "\"");
  }
}

}  // namespace

void Expect(bool ok, const std::string& what) {
  if (!ok) {
    std::fprintf(stderr, "zarn-consumer: FAILED: %s\n", what.c_str());
    ++failures;
  }
}

int main() {
  WithoutHost();
  const std::string ran = CheckWithLocalHost();
  if (failures != 0) return 1;
  std::printf("zarn-consumer: ZarnServerJobUtils %s works %s\n", ZARN_VERSION_STRING, ran.c_str());
  return 0;
}
