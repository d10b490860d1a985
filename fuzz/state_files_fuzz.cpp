// The local host's state files for any bytes: every record and setting
// written is read back the same, changes made through a journal are what a
// fresh reader folds, and no file makes the reader crash (it may refuse a
// line, naming it).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "host/cfx_result.h"
#include "localhost/state_codec.h"
#include "localhost/state_journal.h"
#include "localhost/text_file.h"

namespace {

using zarnlocal::StateJournal;

// A temporary folder for the files of every run, removed when the fuzzer ends.
struct TemporaryFolder {
  TemporaryFolder() {
    path = (std::filesystem::temp_directory_path() / "zarn-state-fuzz-XXXXXX").string();
    if (!::mkdtemp(path.data())) std::abort();
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::string path;
};

const std::string& Folder() {
  static const TemporaryFolder folder;
  return folder.path;
}

StateJournal Journal(const std::string& name) {
  return StateJournal(Folder() + "/" + name, "# fuzzed\n", {"a path", "an owner"}, StateJournal::Order::kSorted,
                      Folder() + "/partial", Folder() + "/state.lock");
}

// Fields cut from the input: a length byte (0 to 15), then that many bytes.
std::vector<std::string> FieldsOf(const std::string& input) {
  std::vector<std::string> fields;
  for (std::size_t at = 0; at < input.size();) {
    const std::size_t length = static_cast<unsigned char>(input[at++]) % 16;
    fields.push_back(input.substr(at, length));
    at += length;
  }
  return fields;
}

void WrittenIsReadBack(const std::vector<std::string>& fields) {
  const std::string line = zarnlocal::FormatRecord(fields);
  if (line.find_first_of("\n\r") != std::string::npos || line.starts_with("-\t") || line.starts_with("#")) {
    std::abort();
  }
  if (zarnlocal::ParseRecord(line) != fields) std::abort();
  for (const std::string& field : fields) {
    const std::string key = field.empty() ? "key" : field;
    if (zarnlocal::ParseSetting(zarnlocal::FormatSetting(key, field)) != std::pair(key, field)) std::abort();
  }
}

// Adds and removes pairs of fields through a journal and checks what a
// fresh reader of the file folds.
void JournalKeepsEveryChange(const std::vector<std::string>& fields) {
  std::filesystem::remove(Folder() + "/changes");
  StateJournal writer = Journal("changes");
  std::set<StateJournal::Record> model;
  for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
    const StateJournal::Record record = {fields[i], fields[i + 1]};
    const bool add = fields[i].size() % 3 != 0;
    const bool changed = add ? writer.Add(record) : writer.Remove(record);
    if (changed != (add ? model.insert(record).second : model.erase(record) == 1)) std::abort();
  }
  const std::vector<StateJournal::Record> folded = Journal("changes").Sorted();
  if (folded != std::vector<StateJournal::Record>(model.begin(), model.end())) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  for (const std::string& line : zarnlocal::SplitLines(input)) {
    try {
      zarnlocal::ParseRecord(line);
    } catch (const zarnlocal::StateFormatError&) {
    }
    try {
      zarnlocal::ParseSetting(line);
    } catch (const zarnlocal::StateFormatError&) {
    }
  }
  const std::vector<std::string> fields = FieldsOf(input);
  if (!fields.empty()) WrittenIsReadBack(fields);
  JournalKeepsEveryChange(fields);

  // The input itself as a state file: folded, or refused with the line named.
  zarnlocal::WriteFileAtomically(Folder() + "/any", input, Folder() + "/partial");
  try {
    Journal("any").Sorted();
  } catch (const CfxResult& refused) {
    if (refused.Description().find(" line ") == std::string::npos) std::abort();
  }
  return 0;
}
