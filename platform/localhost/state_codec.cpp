#include "localhost/state_codec.h"

namespace zarnlocal {
namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7f; }
bool IsContinuation(unsigned char c) { return (c & 0xc0) == 0x80; }

// The length of the UTF-8 sequence at `at`: 1 for ASCII, 0 when the byte
// there does not start a whole, shortest, non-surrogate sequence.
std::size_t Utf8Length(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xbf;
  if (lead >= 0xc2 && lead <= 0xdf) {
    length = 2;
  } else if (lead >= 0xe0 && lead <= 0xef) {
    length = 3;
    if (lead == 0xe0) low = 0xa0;
    if (lead == 0xed) high = 0x9f;
  } else if (lead >= 0xf0 && lead <= 0xf4) {
    length = 4;
    if (lead == 0xf0) low = 0x90;
    if (lead == 0xf4) high = 0x8f;
  } else {
    return 0;
  }
  if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (!IsContinuation(byte(at + i))) return 0;
  }
  return length;
}

// Whether every byte is printable UTF-8.
bool IsPlainText(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = Utf8Length(text, at);
    if (length == 0 || (length == 1 && IsControl(static_cast<unsigned char>(text[at])))) return false;
    at += length;
  }
  return true;
}

bool NeedsQuotes(std::string_view field, std::string_view alsoQuoted) {
  if (field.empty() || field == "-") return true;
  if (field.front() == '"' || field.front() == '#' || field.front() == ' ' || field.back() == ' ') return true;
  if (field.find_first_of(alsoQuoted) != std::string_view::npos) return true;
  return !IsPlainText(field);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string ReadQuoted(std::string_view& text) {
  std::string field;
  std::size_t at = 1;
  for (;;) {
    if (at >= text.size()) throw StateFormatError{"a quoted field has no closing quote"};
    const char c = text[at++];
    if (c == '"') break;
    if (c != '\\') {
      field += c;
      continue;
    }
    if (at >= text.size()) throw StateFormatError{"a quoted field has no closing quote"};
    const char escape = text[at++];
    switch (escape) {
      case '\\': field += '\\'; break;
      case '"': field += '"'; break;
      case 't': field += '\t'; break;
      case 'n': field += '\n'; break;
      case 'r': field += '\r'; break;
      case 'x': {
        const int high = at + 1 < text.size() ? HexValue(text[at]) : -1;
        const int low = high >= 0 ? HexValue(text[at + 1]) : -1;
        if (low < 0) throw StateFormatError{"\\x in a quoted field is not followed by two hex digits"};
        field += static_cast<char>(high * 16 + low);
        at += 2;
        break;
      }
      default: throw StateFormatError{std::string("unknown escape \\") + escape + " in a quoted field"};
    }
  }
  text.remove_prefix(at);
  return field;
}

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

std::string PlainField(std::string_view field) {
  if (!IsPlainText(field)) {
    throw StateFormatError{"a control character or a byte that is not UTF-8 outside quotes"};
  }
  return std::string(field);
}

}  // namespace

std::string QuoteField(std::string_view field, std::string_view alsoQuoted) {
  if (!NeedsQuotes(field, alsoQuoted)) return std::string(field);
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string quoted = "\"";
  for (std::size_t at = 0; at < field.size();) {
    const char c = field[at];
    const std::size_t length = Utf8Length(field, at);
    if (length > 1) {
      quoted.append(field.substr(at, length));
      at += length;
      continue;
    }
    ++at;
    switch (c) {
      case '\\': quoted += "\\\\"; break;
      case '"': quoted += "\\\""; break;
      case '\t': quoted += "\\t"; break;
      case '\n': quoted += "\\n"; break;
      case '\r': quoted += "\\r"; break;
      default:
        if (length == 1 && !IsControl(static_cast<unsigned char>(c))) {
          quoted += c;
        } else {
          const auto byte = static_cast<unsigned char>(c);
          quoted += {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
        }
    }
  }
  return quoted + "\"";
}

std::string ReadField(std::string_view& text, char delimiter) {
  if (!text.empty() && text.front() == '"') return ReadQuoted(text);
  const std::size_t end = text.find(delimiter);
  std::string field = PlainField(text.substr(0, end));
  text.remove_prefix(end == std::string_view::npos ? text.size() : end);
  return field;
}

bool HoldsNoRecord(std::string_view line) { return TrimBlanks(line).empty() || line.front() == '#'; }

std::string FormatRecord(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i) line += '\t';
    line += QuoteField(fields[i]);
  }
  return line;
}

std::vector<std::string> ParseRecord(std::string_view line) {
  std::vector<std::string> fields;
  for (;;) {
    fields.push_back(ReadField(line, '\t'));
    if (line.empty()) return fields;
    if (line.front() != '\t') throw StateFormatError{"a quoted field is followed by more than a tab"};
    line.remove_prefix(1);
  }
}

std::string FormatSetting(std::string_view key, std::string_view value) {
  return QuoteField(key, "=") + " = " + (value.empty() ? std::string() : QuoteField(value));
}

std::pair<std::string, std::string> ParseSetting(std::string_view line) {
  std::string_view rest = line.substr(std::min(line.size(), line.find_first_not_of(" \t")));
  std::string key;
  if (!rest.empty() && rest.front() == '"') {
    key = ReadField(rest, '=');
    rest = rest.substr(std::min(rest.size(), rest.find_first_not_of(" \t")));
  } else {
    const std::size_t equals = rest.find('=');
    if (equals == std::string_view::npos) throw StateFormatError{"expected 'key = value'"};
    key = PlainField(TrimBlanks(rest.substr(0, equals)));
    rest.remove_prefix(equals);
  }
  if (rest.empty() || rest.front() != '=') throw StateFormatError{"expected 'key = value'"};
  if (key.empty()) throw StateFormatError{"a setting without a key"};
  rest.remove_prefix(1);
  rest = rest.substr(std::min(rest.size(), rest.find_first_not_of(" \t")));
  if (rest.empty() || rest.front() != '"') return {std::move(key), PlainField(TrimBlanks(rest))};
  std::string value = ReadField(rest, '\n');
  if (!TrimBlanks(rest).empty()) throw StateFormatError{"a quoted value is followed by more than blanks"};
  return {std::move(key), std::move(value)};
}

}  // namespace zarnlocal
