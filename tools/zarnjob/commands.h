// The commands of zarnjob: each one's runner, grouped the way the library's
// exports are, and the table that names them (command_table.cpp).
#pragma once

#include <vector>

#include "arguments.h"
#include "context.h"

namespace zarnjob {

using CommandRunner = void (*)(Context& context, const Invocation& call);

struct Command {
  CommandSpec spec;
  CommandRunner run;
};

// Every command, in the order the tool's help lists them.
const std::vector<Command>& Commands();
std::vector<const CommandSpec*> CommandSpecs();
const Command& CommandOf(const CommandSpec* spec);

// text_commands.cpp
void RunMessage(Context& context, const Invocation& call);
void RunUnescape(Context& context, const Invocation& call);
// job_commands.cpp
void RunCreateJob(Context& context, const Invocation& call);
void RunDocumentsFolder(Context& context, const Invocation& call);
void RunStage(Context& context, const Invocation& call);
void RunJob(Context& context, const Invocation& call);
// server_commands.cpp
void RunReadTemplate(Context& context, const Invocation& call);
void RunLiveStart(Context& context, const Invocation& call);
void RunLiveStop(Context& context, const Invocation& call);
void RunClientUrl(Context& context, const Invocation& call);
void RunDownload(Context& context, const Invocation& call);
// document_commands.cpp
void RunImport(Context& context, const Invocation& call);
void RunRefresh(Context& context, const Invocation& call);
void RunLock(Context& context, const Invocation& call);
void RunUnlock(Context& context, const Invocation& call);
void RunRealPath(Context& context, const Invocation& call);
// hiding_commands.cpp
void RunHide(Context& context, const Invocation& call);
void RunHideDependent(Context& context, const Invocation& call);
// view_command.cpp
void RunView(Context& context, const Invocation& call);
// demo.cpp
void RunDemo(Context& context, const Invocation& call);

}  // namespace zarnjob
