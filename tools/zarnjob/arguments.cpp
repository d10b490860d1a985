#include "arguments.h"

#include <algorithm>

namespace zarnjob {
namespace {

struct GlobalOptionSpec {
  std::string_view name;
  bool takesValue;
};

constexpr GlobalOptionSpec kGlobalOptions[] = {{"--project", true}, {"--server", true}, {"--trace", false}};

std::vector<std::string_view> WordsOf(std::string_view name) {
  std::vector<std::string_view> words;
  while (!name.empty()) {
    const std::size_t blank = name.find(' ');
    words.push_back(name.substr(0, blank));
    name = blank == std::string_view::npos ? std::string_view() : name.substr(blank + 1);
  }
  return words;
}

bool IsOptional(std::string_view argument) { return argument.front() == '['; }

// The command whose words begin `words` (the longest such name), or null.
const CommandSpec* FindCommand(std::span<const std::string> words, std::span<const CommandSpec* const> commands,
                               std::size_t& wordCount) {
  const CommandSpec* found = nullptr;
  wordCount = 0;
  for (const CommandSpec* command : commands) {
    const std::vector<std::string_view> name = WordsOf(command->name);
    if (name.size() > words.size() || name.size() <= wordCount) continue;
    if (std::equal(name.begin(), name.end(), words.begin())) {
      found = command;
      wordCount = name.size();
    }
  }
  return found;
}

bool IsTopic(std::string_view word, std::span<const CommandSpec* const> commands) {
  return std::any_of(commands.begin(), commands.end(), [&](const CommandSpec* c) { return TopicOf(*c) == word; });
}

// Splits "--name=value"; the value is empty when there is no '='.
std::pair<std::string, std::optional<std::string>> SplitOption(const std::string& word) {
  const std::size_t equals = word.find('=');
  if (equals == std::string::npos) return {word, std::nullopt};
  return {word.substr(0, equals), word.substr(equals + 1)};
}

class Reader {
 public:
  Reader(std::span<const std::string> words) : words_(words) {}
  bool Done() const { return at_ >= words_.size(); }
  const std::string& Peek() const { return words_[at_]; }
  const std::string& Next() { return words_[at_++]; }
  std::span<const std::string> Rest() const { return words_.subspan(at_); }
  void Skip(std::size_t count) { at_ += count; }

  // The value of an option: the part after '=' or the next word.
  std::string ValueOf(const std::string& option, const std::optional<std::string>& inline_value,
                      const std::string& topic) {
    if (inline_value) return *inline_value;
    if (Done()) throw UsageError(option + " needs a value", topic);
    return Next();
  }

 private:
  std::span<const std::string> words_;
  std::size_t at_ = 0;
};

// Takes a global option; false when the word is not one.
bool TakeGlobalOption(Reader& reader, const std::string& word, GlobalOptions& global, const std::string& topic) {
  // Named, not bound: the lambdas below capture the name.
  const auto split = SplitOption(word);
  const std::string& name = split.first;
  const std::optional<std::string>& inlineValue = split.second;
  const auto spec = std::find_if(std::begin(kGlobalOptions), std::end(kGlobalOptions),
                                 [&](const GlobalOptionSpec& s) { return s.name == name; });
  if (spec == std::end(kGlobalOptions)) return false;
  if (!spec->takesValue) {
    if (inlineValue) throw UsageError(name + " takes no value", topic);
    global.trace = true;
    return true;
  }
  std::string value = reader.ValueOf(name, inlineValue, topic);
  if (value.empty()) throw UsageError(name + " needs a folder, not an empty text", topic);
  (name == "--project" ? global.project : global.server) = std::move(value);
  return true;
}

void TakeCommandOption(Reader& reader, const std::string& word, Invocation& invocation, const std::string& topic) {
  // Named, not bound: the lambdas below capture the name.
  const auto split = SplitOption(word);
  const std::string& name = split.first;
  const std::optional<std::string>& inlineValue = split.second;
  const auto& options = invocation.command->options;
  const auto spec = std::find_if(options.begin(), options.end(), [&](const OptionSpec& s) { return s.name == name; });
  if (spec == options.end()) {
    throw UsageError(std::string(invocation.command->name) + " has no option " + name, topic);
  }
  if (invocation.Has(name)) throw UsageError(name + " is given twice", topic);
  if (spec->value.empty()) {
    if (inlineValue) throw UsageError(name + " takes no value", topic);
    invocation.options.emplace(name, "");
  } else {
    invocation.options.emplace(name, reader.ValueOf(name, inlineValue, topic));
  }
}

void CheckArgumentCount(const Invocation& invocation, const std::string& topic) {
  const auto& expected = invocation.command->arguments;
  const std::size_t required = static_cast<std::size_t>(
      std::count_if(expected.begin(), expected.end(), [](std::string_view a) { return !IsOptional(a); }));
  const std::string name(invocation.command->name);
  if (invocation.arguments.size() < required) {
    throw UsageError(name + " needs " + std::string(expected[invocation.arguments.size()]), topic);
  }
  if (invocation.arguments.size() > expected.size()) {
    throw UsageError(name + " takes no argument '" + invocation.arguments[expected.size()] + "'", topic);
  }
}

}  // namespace

std::optional<std::string> Invocation::Value(std::string_view option) const {
  const auto found = options.find(option);
  if (found == options.end()) return std::nullopt;
  return found->second;
}

std::string_view TopicOf(const CommandSpec& command) { return command.name.substr(0, command.name.find(' ')); }

CommandLine ParseCommandLine(std::span<const std::string> words, std::span<const CommandSpec* const> commands) {
  CommandLine line;
  Reader reader(words);

  // Global options, up to the command.
  while (!reader.Done() && reader.Peek().starts_with("--") && reader.Peek() != "--") {
    const std::string& word = reader.Next();
    if (word == "--help") {
      line.help = true;
    } else if (word == "--version") {
      line.version = true;
    } else if (!TakeGlobalOption(reader, word, line.global, "")) {
      throw UsageError("unknown option " + word, "");
    }
  }
  if (reader.Done()) return line;
  if (reader.Peek() == "help") {
    reader.Next();
    line.help = true;
    if (!reader.Done()) line.helpTopic = reader.Next();
    if (!line.helpTopic.empty() && !IsTopic(line.helpTopic, commands)) {
      throw UsageError("there is no command " + line.helpTopic, "");
    }
    return line;
  }

  std::size_t wordCount = 0;
  const CommandSpec* command = FindCommand(reader.Rest(), commands, wordCount);
  const std::string& first = reader.Peek();
  if (!command) {
    if (IsTopic(first, commands)) {
      // "live" alone, or "live" with a word that is none of its commands.
      if (reader.Rest().size() > 1 && (reader.Rest()[1] == "--help" || line.help)) {
        line.help = true;
        line.helpTopic = first;
        return line;
      }
      std::string choices;
      for (const CommandSpec* candidate : commands) {
        if (TopicOf(*candidate) != first) continue;
        if (!choices.empty()) choices += " or ";
        choices += candidate->name.substr(first.size() + 1);
      }
      throw UsageError(first + " needs " + choices, first);
    }
    throw UsageError("there is no command " + first, "");
  }
  reader.Skip(wordCount);
  const std::string topic(command->name);
  line.helpTopic = topic;

  Invocation invocation;
  invocation.command = command;
  bool onlyArguments = false;
  while (!reader.Done()) {
    const std::string& word = reader.Next();
    if (onlyArguments || !word.starts_with("--")) {
      invocation.arguments.push_back(word);
    } else if (word == "--") {
      onlyArguments = true;
    } else if (word == "--help") {
      line.help = true;
    } else if (!TakeGlobalOption(reader, word, line.global, topic)) {
      TakeCommandOption(reader, word, invocation, topic);
    }
  }
  if (line.help) return line;
  CheckArgumentCount(invocation, topic);
  line.invocation = std::move(invocation);
  return line;
}

}  // namespace zarnjob
