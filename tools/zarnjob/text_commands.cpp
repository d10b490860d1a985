// Commands over the exports that take plain values: message texts and URL escapes.
#include <charconv>
#include <cstdint>
#include <cstdio>

#include "ZarnServerJobUtils.h"
#include "commands.h"
#include "output.h"

namespace zarnjob {
namespace {

std::int32_t MessageIdOf(const std::string& text) {
  std::int32_t id = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    throw UsageError("ID is a whole number from -2147483648 to 2147483647, not '" + text + "'", "message");
  }
  return id;
}

}  // namespace

void RunMessage(Context& context, const Invocation& call) {
  const std::int32_t id = MessageIdOf(call.arguments[0]);
  const char* text = context.Library([&] { return ID2MessageString(id); });
  if (text) {
    PrintLine(text);
  } else {
    std::fprintf(stderr, "zarnjob: no message text has the identifier %d\n", static_cast<int>(id));
  }
}

void RunUnescape(Context& context, const Invocation& call) {
  const std::string decoded = context.Library([&] { return AppUtils::Document::UnescapeRFC1738(call.arguments[0]); });
  PrintLine(decoded);
}

}  // namespace zarnjob
