#include "help.h"

#include <algorithm>
#include <string>

#include "commands.h"

namespace zarnjob {
namespace {

constexpr const char* kToolSynopsis = "zarnjob [--project DIR] [--server DIR] [--trace]";

std::string SynopsisOf(const CommandSpec& command) {
  std::string text = std::string(command.name);
  for (std::string_view argument : command.arguments) text += " " + std::string(argument);
  for (const OptionSpec& option : command.options) {
    text += " [" + std::string(option.name);
    if (!option.value.empty()) text += " " + std::string(option.value);
    text += "]";
  }
  return text;
}

void PrintToolHelp(std::FILE* out) {
  std::fprintf(out,
               "usage: %s COMMAND ...\n"
               "\n"
               "Tries the exports of ZarnServerJobUtils over the local reference host: a project\n"
               "folder on this machine and a local server folder.\n"
               "\n"
               "Options:\n"
               "  --project DIR  the project folder (default: the current folder)\n"
               "  --server DIR   the server folder (default: the project's own, .zarn/server)\n"
               "  --trace        write every host call the library makes to stderr as it\n"
               "                 happens, then the references left outstanding\n"
               "  --help         this help; COMMAND --help for a command's\n"
               "  --version      the library's version\n"
               "\n"
               "Commands:\n",
               kToolSynopsis);
  std::size_t width = 0;
  for (const CommandSpec* command : CommandSpecs()) width = std::max(width, SynopsisOf(*command).size());
  for (const CommandSpec* command : CommandSpecs()) {
    const std::string synopsis = SynopsisOf(*command);
    std::fprintf(out, "  %-*s  %.*s\n", static_cast<int>(width), synopsis.c_str(),
                 static_cast<int>(command->summary.size()), command->summary.data());
  }
  std::fprintf(out,
               "\n"
               "Exit status: 0 done; 1 the library or the host failed (\"error: 0xSTATUS: WHY\"), the\n"
               "host refused a document's lock or unlock (one such line per document), or\n"
               "references to host objects were left outstanding; 2 a usage error.\n");
}

void PrintCommandHelp(std::FILE* out, const CommandSpec& command) {
  std::fprintf(out, "usage: %s %s\n\n%.*s\n", kToolSynopsis, SynopsisOf(command).c_str(),
               static_cast<int>(command.details.size()), command.details.data());
  if (command.options.empty()) return;
  std::fprintf(out, "\nOptions:\n");
  for (const OptionSpec& option : command.options) {
    std::string name = std::string(option.name);
    if (!option.value.empty()) name += " " + std::string(option.value);
    std::fprintf(out, "  %-24s %.*s\n", name.c_str(), static_cast<int>(option.help.size()), option.help.data());
  }
}

}  // namespace

void PrintHelp(std::FILE* out, std::string_view topic) {
  if (topic.empty()) {
    PrintToolHelp(out);
    return;
  }
  // A whole name asks for that command; a first word for every command it begins.
  const std::vector<const CommandSpec*> commands = CommandSpecs();
  const bool wholeName =
      std::any_of(commands.begin(), commands.end(), [&](const CommandSpec* c) { return c->name == topic; });
  bool first = true;
  for (const CommandSpec* command : commands) {
    if (wholeName ? command->name != topic : TopicOf(*command) != topic) continue;
    if (!first) std::fputc('\n', out);
    PrintCommandHelp(out, *command);
    first = false;
  }
}

}  // namespace zarnjob
