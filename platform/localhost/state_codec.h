// How the local host writes names and values into its state files: one
// record a line, UTF-8 text a person can read, and every byte of a name
// kept.
//
// A field is written as it stands when that cannot be misread. Otherwise it
// is quoted C-style: "..." with \\ \" \t \n \r, and \xHH for any other
// control byte and for each byte that is not part of UTF-8. A field is
// quoted when it is empty or "-", starts with '"', '#' or a blank, ends
// with a blank, or holds a control byte or a byte that is not UTF-8:
//
//   Results/a b.def          as it stands
//   "#notes"   " padded "    "two\nlines"    "caf\xE9"
//
// A field written as it stands is read literally (a backslash is a
// backslash); it may not hold a control byte or a byte that is not UTF-8,
// since no writer puts one there.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zarnlocal {

// What a reader found wrong in a line; the caller names the file and line.
struct StateFormatError {
  std::string what;
};

// The field as written: as it stands or quoted. A character of `alsoQuoted`
// anywhere in the field has it quoted too.
std::string QuoteField(std::string_view field, std::string_view alsoQuoted = {});

// Reads one field from the front of `text`: a quoted one, or one that runs
// to `delimiter` (or the end). Leaves `text` at what follows the field.
// Throws StateFormatError.
std::string ReadField(std::string_view& text, char delimiter);

// Comments ('#' first) and lines of blanks hold no record.
bool HoldsNoRecord(std::string_view line);

// A record: its fields, quoted where needed, separated by tabs; no line end.
std::string FormatRecord(const std::vector<std::string>& fields);
// Throws StateFormatError.
std::vector<std::string> ParseRecord(std::string_view line);

// "key = value"; an empty value is written as nothing after the '='.
std::string FormatSetting(std::string_view key, std::string_view value);
// Blanks around the key and the value are not part of them (quote to keep
// some). Throws StateFormatError.
std::pair<std::string, std::string> ParseSetting(std::string_view line);

}  // namespace zarnlocal
