// The command line of zarnjob: global options, a command of one or two
// words, its arguments and its options.
//
//   zarnjob [--project DIR] [--server DIR] [--trace] COMMAND ARGUMENT... [--option [VALUE]]...
//
// Global options are also taken after the command; "--name=value" is the
// same as "--name value"; after "--" everything is an argument.
#pragma once

#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zarnjob {

struct OptionSpec {
  std::string_view name;   // "--text"
  std::string_view value;  // "TEXT"; empty for a switch
  std::string_view help;
};

struct CommandSpec {
  std::string_view name;                    // "live start"
  std::vector<std::string_view> arguments;  // "JOB"; "[DIR]" may be left out
  std::vector<OptionSpec> options;
  std::string_view summary;  // one line in the tool's help
  std::string_view details;  // the command's own help
};

struct GlobalOptions {
  std::string project = ".";
  std::string server;  // empty: the project's own server
  bool trace = false;
};

struct Invocation {
  const CommandSpec* command = nullptr;
  std::vector<std::string> arguments;
  std::map<std::string, std::string, std::less<>> options;  // a switch maps to ""

  bool Has(std::string_view option) const { return options.find(option) != options.end(); }
  std::optional<std::string> Value(std::string_view option) const;
  // The argument at an index, or empty when an optional one was left out.
  std::string Argument(std::size_t index) const { return index < arguments.size() ? arguments[index] : std::string(); }
};

struct CommandLine {
  GlobalOptions global;
  std::optional<Invocation> invocation;  // none when only --help (or nothing) was given
  bool help = false;
  bool version = false;   // --version before any command
  std::string helpTopic;  // the command's name or first word, or empty for the tool
};

// A mistake on the command line. The topic is the command it concerns (its
// name, or a first word such as "live"), whose usage is then shown; empty for
// the tool's usage.
class UsageError : public std::runtime_error {
 public:
  UsageError(const std::string& message, std::string topic) : std::runtime_error(message), topic_(std::move(topic)) {}
  const std::string& Topic() const noexcept { return topic_; }

 private:
  std::string topic_;
};

// Throws UsageError.
CommandLine ParseCommandLine(std::span<const std::string> words, std::span<const CommandSpec* const> commands);

// The first word of a command's name: the help topic it belongs to.
std::string_view TopicOf(const CommandSpec& command);

}  // namespace zarnjob
